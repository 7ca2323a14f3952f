// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "ImpostazioniRicerca.h"
#include "TabellaTesto.h"
#include "VisteColonne.h"

#include <QDialog>
#include <QVariant>

#include <functional>

class QLabel;
class QLineEdit;
class QModelIndex;
class QPrinter;
class QPushButton;
class QStatusBar;
class QTableView;
class QToolBar;

namespace KaloRefill {

class FiltroRighe;
class ModelloRighe;

// The list window, sized for a finger: the rows in a sortable table that scrolls by
// dragging, a filter bar, a tool bar to print and export, "Apri" and "Chiudi", and a
// status bar with the row count and the total of the amounts. A tap selects a row;
// "Apri", a double click or Enter picks it: its CampoRicerca value becomes the answer
// and the window closes. The day's report names its day on top and is only read and
// printed: no "Apri", no row picked. Column order, widths and hidden columns are kept per
// list and operator. An empty list says so over the table; printing and the exports are
// off while it is empty.
class FinestraRicerca final : public QDialog {
    Q_OBJECT
public:
    // Reads the first rows and the count of the recordset: a failure of the set is
    // thrown from here.
    explicit FinestraRicerca(const ImpostazioniRicerca& impostazioni, QWidget* parent = nullptr);
    ~FinestraRicerca() override;

    // The picked row's CampoRicerca value; invalid until a row is picked.
    QVariant risposta() const { return m_risposta; }

    // What the table shows now, every row of it, as printed and exported.
    TabellaTesto contenuto() const;
    // The line over an empty table; empty while rows are shown.
    QString statoVuoto() const;
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
    QWidget* creaPulsanti();
    void aggiornaVuoto();
    // False, after saying why, when there is nothing to print or export.
    bool ciSonoRighe();
    // The columns to tick on or off, at a point of the screen.
    void mostraMenuColonne(const QPoint& dove);
    int misura(int pixel) const;
    void applicaViste();
    void salvaViste();
    void aggiornaRiepilogo();
    void anteprima();
    void stampa();
    void chiediPdf();
    void chiediCsv();
    // Asks where to export (the default folder and name offered), adds the extension when
    // missing, and reports a file that could not be written.
    void chiediFile(const QString& titolo, const QString& estensione, const QString& filtro,
                    const std::function<bool(const QString&)>& esporta);
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
    QLabel* m_vuoto = nullptr;
    QPushButton* m_apri = nullptr;
    // The caller's own buttons (AzioniRicerca), enabled with a row selected.
    QList<QPushButton*> m_azioni;
    QString m_testoVuoto;
    qreal m_scala = 1.0;
    int m_colonnaRisposta = -1;
    QVariant m_risposta;
    bool m_vistaSalvata = false;
    // The day's report ("RefillGiorno"): the day named on top, nothing to pick.
    bool m_report = false;
};

} // namespace KaloRefill
