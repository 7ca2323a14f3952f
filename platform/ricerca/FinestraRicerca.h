#pragma once

#include "ImpostazioniRicerca.h"
#include "TabellaTesto.h"
#include "VisteColonne.h"

#include <QDialog>
#include <QVariant>

class QLabel;
class QLineEdit;
class QModelIndex;
class QPrinter;
class QStatusBar;
class QTableView;
class QToolBar;

namespace KaloRefill {

class FiltroRighe;
class ModelloRighe;

// The list window: the rows in a sortable table, a filter bar, a tool bar to print and
// export, and a status bar with the row count and the total of the amounts shown.
// A double click or Enter on a row picks it: its CampoRicerca value becomes the answer
// and the window closes. Column order and widths are kept per list and operator.
class FinestraRicerca final : public QDialog {
    Q_OBJECT
public:
    // Reads every row of the recordset: a failure of the set is thrown from here.
    explicit FinestraRicerca(const ImpostazioniRicerca& impostazioni, QWidget* parent = nullptr);
    ~FinestraRicerca() override;

    // The picked row's CampoRicerca value; invalid until a row is picked.
    QVariant risposta() const { return m_risposta; }

    // What the table shows now, as printed and exported.
    TabellaTesto contenuto() const;
    // The text of the status bar.
    QString riepilogo() const;

    bool esportaPdf(const QString& percorsoFile);
    bool esportaCsv(const QString& percorsoFile);

    // Picks the row of the table (a row of what is shown, after filter and sort).
    void scegli(const QModelIndex& indiceVista);

    void done(int risultato) override;

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    void creaBarraStrumenti();
    void applicaViste();
    void salvaViste();
    void aggiornaRiepilogo();
    void anteprima();
    void stampa();
    void chiediPdf();
    void chiediCsv();
    QString cartellaPredefinita() const;
    QString nomeFilePredefinito(const QString& estensione) const;
    void segnalaErrore(const QString& testo);
    QList<int> colonneInOrdine() const;

    ImpostazioniRicerca m_impostazioni;
    VisteColonne m_viste;
    ModelloRighe* m_modello = nullptr;
    FiltroRighe* m_filtro = nullptr;
    QToolBar* m_barraStrumenti = nullptr;
    QLineEdit* m_campoFiltro = nullptr;
    QTableView* m_tabella = nullptr;
    QStatusBar* m_barraStato = nullptr;
    QLabel* m_riepilogo = nullptr;
    int m_colonnaRisposta = -1;
    QVariant m_risposta;
    bool m_vistaSalvata = false;
};

} // namespace KaloRefill
