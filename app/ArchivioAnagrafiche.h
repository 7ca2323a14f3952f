// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "DatiAnagrafiche.h"

#include <QList>
#include <QStringList>

namespace KaloRefill {

class HostApplication;

// Reads and writes a hall's master data through the host: the venue, the two account
// associations, the machines and the operators. Codes stay unique, a machine or operator
// with refills is never deleted (only taken out of service), and every change goes in
// with its LogOperazioni row (who, when, the values before and after) in one unit of
// work. Refusals are Errore (database) with an Italian description for the operator.
class ArchivioAnagrafiche final {
public:
    explicit ArchivioAnagrafiche(HostApplication& host) : m_host(host) {}

    Locale locale();
    void salvaLocale(const Locale& locale);
    Conti conti();
    void salvaConti(const Conti& conti);

    QList<Apparecchio> apparecchi();
    // Gives the stored machine (a new one gets its id and idscheda).
    Apparecchio salvaApparecchio(const Apparecchio& apparecchio);
    // Several new machines at once, all or none; each is checked as salvaApparecchio does.
    void aggiungiApparecchi(const QList<Apparecchio>& nuovi);
    void eliminaApparecchio(qint64 id);

    QList<Operatore> operatori();
    Operatore salvaOperatore(const Operatore& operatore);
    void eliminaOperatore(qint64 id);

    // What the refill form still needs before the first refill, in the operator's words;
    // empty when the hall is ready.
    QStringList mancanze();

    // Why a machine cannot be stored beside `altri` (already checked or stored); empty
    // when it can.
    static QString problemaApparecchio(const Apparecchio& a, const QList<Apparecchio>& altri);

private:
    void scriviApparecchio(const Apparecchio& prima, Apparecchio& dopo);
    void registra(const QString& operazione, const QString& descrizione, const QString& note);
    bool haRefill(const QString& condizioneRighe);

    HostApplication& m_host;
};

} // namespace KaloRefill
