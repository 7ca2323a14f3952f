// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "IndirizzoDatabase.h"

#include <QDir>

namespace KaloRefill {

IndirizzoDatabase::IndirizzoDatabase(const QString& testo) : m_testo(testo) {
    if (!ParametriServer::eIndirizzo(testo))
        return;
    try {
        m_server = ParametriServer::leggi(testo);
    } catch (const Errore& errore) {
        m_errore = errore;
    }
}

const ParametriServer& IndirizzoDatabase::parametri() const {
    if (m_errore)
        throw *m_errore;
    if (!m_server)
        throw Errore::database(QStringLiteral("%1 non è l'indirizzo di un server").arg(mostrabile()));
    return *m_server;
}

QString IndirizzoDatabase::mostrabile() const {
    return ParametriServer::mostrabile(QDir::toNativeSeparators(m_testo));
}

} // namespace KaloRefill
