// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "host/HostApplication.h"
#include "kalorefill_export.h"

#include <QString>
#include <QVariant>

namespace KaloRefill {

// The host's handle on the module ("KaloRefill.Configura"): configuration strings, the
// host application object, the version and Start, which opens the refill form.
// Every Configura reads and writes the same module-wide values.
class KALOREFILL_EXPORT Configura {
public:
    QString CodiceStampa() const;
    void setCodiceStampa(const QString& valore);
    QString CodiceEsportazione() const;
    void setCodiceEsportazione(const QString& valore);
    QString Codice() const;
    void setCodice(const QString& valore);
    QString Parametri() const;
    void setParametri(const QString& valore);

    // Opens a new refill form: modal when Modale is "1" (any case), modeless otherwise.
    // Always returns an empty value.
    QVariant Start();

    // Replaces (and lets go of) the host object given before. There is no getter.
    void setApplicazione(HostApplicationPtr applicazione);

    // "2.000.023": major, then minor and revision on three digits each.
    QString Ver() const;

    QString CampoRicerca() const;
    void setCampoRicerca(const QString& valore);
    QString Risposta() const;
    void setRisposta(const QString& valore);
    QString Modale() const;
    void setModale(const QString& valore);
    // Where the slips of accountable refills go: a printer's name, or PDF files in a folder.
    void setStampanteBuoni(const QString& stampante);
    void setCartellaBuoni(const QString& cartella);

    // The host found the database damaged (`problema` says how): every refill form shows
    // it in a banner and refuses to save, now and when opened later.
    void segnalaDatabaseDanneggiato(const QString& problema);

    // The version text for any version numbers.
    static QString testoVersione(int major, int minor, int revision);
};

} // namespace KaloRefill
