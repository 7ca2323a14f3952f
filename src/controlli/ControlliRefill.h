// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "controlli/Operatori.h"
#include "documento/BuonoRefill.h"
#include "documento/ImpostazioniControlli.h"
#include "documento/RigaRegistro.h"
#include "host/HostApplication.h"
#include "kalorefill_export.h"

#include <QObject>
#include <QTimer>

#include <memory>
#include <optional>

namespace KaloRefill {

class FrmRefill;
class HostOperatore;

// The accountable refills on the form, when the hall has turned them on: the operator signs
// in with his PIN (and again after the form has been idle), every save is checked for a
// witness and a reason before it starts, writes its numbered register row inside the
// save's unit of work, and a refill leaves a printed slip.
class KALOREFILL_EXPORT ControlliRefill : public QObject {
    Q_OBJECT
public:
    // What a save was allowed to do, gathered before its unit of work starts.
    struct Autorizzazione {
        qint64 idScheda = 0;
        QDate giornata;
        Valuta previsto;
        Valuta prima;
        QString testimone;
        QString nomeTestimone;
        bool testimoneResponsabile = false;
        QString motivo;
        RigaRegistro riga;
    };

    ControlliRefill(FrmRefill& form, HostApplicationPtr host, const ImpostazioniControlli& impostazioni);
    ~ControlliRefill() override;

    // The host with the signed-in operator as its User.
    HostApplication& host();
    const ImpostazioniControlli& impostazioni() const { return m_impostazioni; }
    QString operatore() const { return m_operatore.codice; }

    // The PIN pad. At start-up "Annulla" closes the form; when the form locks itself only a
    // PIN opens it again. True when an operator signed in.
    bool accedi(bool avvio);
    // The idle lock, as the timer fires it.
    void bloccaPerInattivita();
    QTimer& timerInattivita() { return m_inattivita; }

    // Before the save's unit: for `previsto`, the amount the save will leave, the witness
    // and the reason it needs. Empty when the operator gave up or was refused (nothing is
    // written then).
    std::optional<Autorizzazione> autorizza(const Valuta& previsto);
    // Inside the unit, before the document is written: the machine's amount now.
    void primaDelSalvataggio(Autorizzazione& a);
    // Inside the unit, after the document is written: the register row. Throws (and so
    // drops the whole unit) when the save did more than was authorised.
    void registra(Autorizzazione& a);
    // After the unit: the slip of a refill. Problems are told in one box.
    void dopoIlSalvataggio(const Autorizzazione& a);

    // A copy of the slip of a register row (its key), marked "COPIA", one page, through the
    // same printer or folder as the slips; the reprint is written in the operations log.
    // Errore when the row is missing.
    void ristampa(qint64 id);

    // Where slips go: a printer of the system, or (empty) PDF files in cartellaBuoni,
    // by default the host's folder + "buoni".
    static QString cartellaBuoni(HostApplication& host);

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    void gestionePin(QWidget* parent);
    // The slip printed, or kept as a PDF when no printer is set or it fails: gives the PDF's
    // path (empty when printed) and, in `problema`, why the printer did not take it.
    QString emetti(BuonoRefill::Dati& dati, int copie, bool ristampa, QString& problema);

    FrmRefill& m_form;
    HostApplicationPtr m_originale;
    std::shared_ptr<HostOperatore> m_host;
    ImpostazioniControlli m_impostazioni;
    OperatoreRefill m_operatore;
    QTimer m_inattivita;
    bool m_padAperto = false;
};

} // namespace KaloRefill
