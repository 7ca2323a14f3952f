// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "form/CampoData.h"
#include "form/Politica.h"
#include "host/HostApplication.h"
#include "host/Valuta.h"
#include "kalorefill_export.h"

#include <QString>
#include <QVariant>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>
#include <vector>

class QCheckBox;
class QLabel;
class QFrame;

namespace KaloRefill {

class Calcolatrice;
class ControlliRefill;
class Etichetta;
class PulsanteGrafico;

// "..:: Gestione Refill ::..": the refill form. The operator picks a machine on a paged grid
// of 16 buttons, types the amount on the keypad or the keyboard and saves it into the day's
// refill document. Its state lives in a few variables and in its controls, which carry
// their names as objectName.
class KALOREFILL_EXPORT FrmRefill : public QWidget {
    Q_OBJECT
public:
    static constexpr int NumeroPulsanti = 16;
    // The smallest window, in pixels: an 800 x 480 panel. Below it the keypad's keys,
    // shrunk with a short window, would be smaller than a finger (44 pixels), and the
    // option buttons' captions too small to read.
    static constexpr int LarghezzaMinima = 800;
    static constexpr int AltezzaMinima = 480;
    // The height, in twips, the keypad's controls take at their created places.
    static constexpr float AltezzaTastiera = 7875;

    explicit FrmRefill(QWidget* parent = nullptr);
    ~FrmRefill() override;

    // Start-up: date, venue, machines, first page, day total, keypad, stored choice,
    // account associations.
    void Form_Load();
    // Shows the form maximised, modal or not.
    void mostra(bool modale);

    // Machine pages.
    void CaricaPagina();
    void RicaricaPagina();
    void CmdAvanti_Click();
    void CmdDietro_Click();
    void Opt_Click();
    void txtData_Change();

    // Keypad and keyboard.
    QVariant PremiTasto(const QString& tasto);
    QVariant ConteggiaValori();
    QVariant AttivaTastiera(bool valore);
    // Windows virtual-key codes; the shift state is ignored.
    void Form_KeyUp(int codiceTasto);
    void Form_KeyPress(int carattere);

    void CmdApparecchio_Click(int indice);

    // Saves the amount LabValore shows.
    void SalvaRefill();
    // Saves `importo`, the keypad's result read once; the log keeps LabValore's text. The
    // failures' boxes go where `segnalazioni` sends them.
    void SalvaRefill(Politica::Segnalazioni& segnalazioni, const std::function<Valuta()>& importo);
    void TotaleGiornata();

    void CmdChiudi_Click();
    void CmdTrova_Click();
    void CmdStampa_Click();

    // Lays the controls out again for the form's present size.
    void Form_Resize();

    // The accountable refills (PIN, witness, register, slip) when the hall turned them on
    // (setting "Refill"/"Controlli"); null otherwise, and then the form is as it always was.
    ControlliRefill* controlli() const { return m_controlli.get(); }
    // A damaged database (the module was told so): a banner across the top of the form
    // says what was found and what to do, and saving is refused.
    void mostraDanno();
    // The banner; null until the database is found damaged.
    QLabel* LabDanno = nullptr;

    // The date being worked on, as the date picker holds it. Setting it from code does
    // not raise txtData_Change: callers that set it call txtData_Change themselves.
    QDate dataRegistrazione() const;
    // ChkConferma as 0 (not ticked), 1 (ticked) or 2 (greyed).
    qint16 valoreConferma() const;
    void impostaValoreConferma(qint16 valore);
    void impostaDataRegistrazione(const QDate& data);

    // Form state.
    qint16 RefillAperto = 0;
    RecordsetPtr rsApparecchi;
    QVariant CodLocale;
    QVariant Scelta;

    // Controls, by their names.
    QFrame* Picture1 = nullptr;
    QFrame* FrmConto = nullptr;
    QCheckBox* ChkConferma = nullptr;
    Etichetta* LabConto = nullptr;
    Etichetta* LabOperazione = nullptr;
    Etichetta* LabTitolo = nullptr;
    Etichetta* LabValore = nullptr;
    Etichetta* LabApparecchio = nullptr;
    Etichetta* Image1 = nullptr;
    Etichetta* LabTotali = nullptr;

    QFrame* FrmApparecchi = nullptr;
    PulsanteGrafico* Opt1 = nullptr;
    PulsanteGrafico* Opt2 = nullptr;
    PulsanteGrafico* Opt3 = nullptr;
    std::array<PulsanteGrafico*, NumeroPulsanti> CmdApparecchio{};
    PulsanteGrafico* CmdDietro = nullptr;
    PulsanteGrafico* CmdAvanti = nullptr;

    QFrame* FrmTastiera = nullptr;
    PulsanteGrafico* Cmd = nullptr; // "/"
    PulsanteGrafico* CmdPer = nullptr;
    PulsanteGrafico* CmdMeno = nullptr;
    PulsanteGrafico* CmdPiu = nullptr;
    PulsanteGrafico* Cmd7 = nullptr;
    PulsanteGrafico* Cmd8 = nullptr;
    PulsanteGrafico* Cmd9 = nullptr;
    PulsanteGrafico* CmdCanc = nullptr;
    PulsanteGrafico* Cmd4 = nullptr;
    PulsanteGrafico* Cmd5 = nullptr;
    PulsanteGrafico* Cmd6 = nullptr;
    PulsanteGrafico* CmdDel = nullptr;
    PulsanteGrafico* Cmd1 = nullptr;
    PulsanteGrafico* Cmd2 = nullptr;
    PulsanteGrafico* Cmd3 = nullptr;
    PulsanteGrafico* CmdAnnulla = nullptr;
    PulsanteGrafico* Cmd0 = nullptr;
    PulsanteGrafico* cmdVirgola = nullptr;
    PulsanteGrafico* Cmd00 = nullptr;
    PulsanteGrafico* CmdSalva = nullptr;
    PulsanteGrafico* CmdTrova = nullptr;
    PulsanteGrafico* CmdStampa = nullptr;
    PulsanteGrafico* CmdChiudi = nullptr;
    CampoData* txtData = nullptr;
    Etichetta* Lab1 = nullptr;
    Etichetta* LabStato = nullptr;

    Etichetta* testoBottone = nullptr;
    Etichetta* Bottone = nullptr;

signals:
    // The form was hidden or closed: a modal Start returns.
    void nascosto();

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;
    void hideEvent(QHideEvent* evento) override;

private:
    // Builds the control tree at its created positions and sizes (twips).
    void creaControlli();
    // Wires clicks and the date picker to their handlers.
    void collegaEventi();
    // Every key of every child passes the form first.
    void installaAnteprimaTasti();

    HostApplication& host() const;
    // The label of rsApparecchi's current machine for the display option in force.
    QString etichettaApparecchio();
    // Back to waiting for a machine, the open entry dropped.
    void tornaInAttesa();
    // Fits the keypad's controls into a frame of this height (twips).
    void adattaTastiera(float altezzaCornice);
    // Asks before dropping an entry left open; true when the operation may go on.
    bool abbandonaRefillAperto();
    // The open entry's amount, the pending operation folded in, when it can be stored
    // exactly; otherwise one box says why not.
    std::optional<Valuta> importoDaSalvare();
    // False, after one box saying so, when the database is known to be damaged.
    bool databaseIntegro();
    void posizionaDanno();
    // What an open entry looks like on the form now, as a step that puts it back.
    std::function<void()> statoVoce();
    // Runs the calculator on the three display labels and writes its state back.
    void applicaCalcolatrice(const std::function<void(Calcolatrice&)>& azione);
    // The machine button at an index read from a caption; Errore 9 outside the array.
    PulsanteGrafico& pulsanteApparecchio(double indice);
    // The button named by Bottone, the machine being saved.
    PulsanteGrafico& pulsanteSelezionato();

    // Reads the hall's setting and, when on, signs the operator in (FrmRefillRegistro.cpp).
    void avviaControlli();
    std::unique_ptr<ControlliRefill> m_controlli;

    bool m_dataDaCodice = false;
    bool m_anteprimaTasti = false;
};

} // namespace KaloRefill
