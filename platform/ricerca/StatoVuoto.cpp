// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "StatoVuoto.h"

#include "FormatoItaliano.h"

#include <QRegularExpression>

namespace KaloRefill::StatoVuoto {

QDate dataDellaSorgente(const QString& sorgente) {
    static const QRegularExpression letterale(
        QStringLiteral("#(\\d{1,2})[-/](\\d{1,2})[-/](\\d{4})#"));
    const QRegularExpressionMatch trovato = letterale.match(sorgente);
    if (!trovato.hasMatch())
        return {};
    return QDate(trovato.captured(3).toInt(), trovato.captured(1).toInt(),
                 trovato.captured(2).toInt());
}

QString testo(const QString& modulo, const QString& sorgente) {
    if (modulo.compare(QLatin1String("RefillGiorno"), Qt::CaseInsensitive) != 0)
        return QStringLiteral("Nessuna registrazione");
    const QDate giorno = dataDellaSorgente(sorgente);
    if (!giorno.isValid())
        return QStringLiteral("Nessun refill registrato");
    return QStringLiteral("Nessun refill registrato il %1").arg(FormatoItaliano::data(giorno));
}

} // namespace KaloRefill::StatoVuoto
