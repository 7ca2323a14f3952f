// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "host/HostApplication.h"
#include "host/Valuta.h"
#include "kalorefill_export.h"

#include <QDate>

#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace KaloRefill {

// The refill document of a registration date and its rules, in one place: one header in
// noteteste (causal "REF") per date, one amount row per machine in noteincassi, the
// header's day total, and two accounting entries in noterighe that take the document's
// total out of the hall's cash account and put it on the refill account. The form's save,
// the check and repair and the register all read and write the document through here.
class KALOREFILL_EXPORT DocumentoRefill {
public:
    using Passo = std::function<void()>;

    // One of the two entries a save writes, in this order.
    struct Scrittura {
        qint16 riga;
        const char* descrizione;
        bool totaleInDare;
        const char* ruoloConto; // the column of TabAssociazioneConti holding the account code
        Valuta dare(Valuta totale) const { return totaleInDare ? totale : Valuta(); }
        Valuta avere(Valuta totale) const { return totaleInDare ? Valuta() : totale; }
    };
    static const std::array<Scrittura, 2> Scritture;

    // What a save stores. Each value is read when the step that needs it runs, so a value
    // that cannot be read fails that step alone.
    struct Voce {
        std::function<QDate()> data;
        std::function<QVariant()> codLocale;
        std::function<QString()> idScheda; // the machine, as text
        std::function<Valuta()> importo;
        std::function<QString()> importoMostrato; // the amount as the operator saw it, for the log
        std::function<QVariant(const char* ruolo)> conto; // the account code of an entry's role
    };

    explicit DocumentoRefill(HostApplication& host) : m_host(host) {}

    // One machine's amount saved, as steps in their fixed order: the header (created at the
    // date's first save, rewritten at every later one), a log row, the machine's row
    // (created or overwritten), the header's day total, and the two entries written anew.
    // Every step stands alone; what a failing one means is the caller's policy.
    std::vector<Passo> passiSalvataggio(const Voce& voce);

    // The machine's amount in the document of the date; 0 without a row.
    Valuta importoApparecchio(const QDate& data, qint64 idScheda);

    // The header made whole from its machine rows, as a save leaves it: its day total and
    // its two entries written anew. Gives the document's total; Errore when the header is
    // gone or the account associations are missing.
    Valuta riscrivi(qint64 idTesta, const QDate& data);

private:
    struct Lavoro;
    std::vector<Passo> passiScritture(const std::shared_ptr<Lavoro>& lavoro, const Voce& voce);

    HostApplication& m_host;
};

} // namespace KaloRefill
