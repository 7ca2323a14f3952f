// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "search/DataRisposta.h"

#include <QDateTime>
#include <QString>
#include <QTime>

namespace KaloRefill::DataRisposta {

namespace {

std::optional<QDate> valida(const QDate& data) {
    if (data.isValid())
        return data;
    return std::nullopt;
}

std::optional<QDate> daTesto(const QString& grezzo) {
    const QString testo = grezzo.trimmed();
    if (testo.isEmpty())
        return std::nullopt;
    // Day first, as the operators write dates; one-digit day and month are allowed.
    for (const QString& formato : {QStringLiteral("dd/MM/yyyy"), QStringLiteral("d/M/yyyy")}) {
        if (const QDate data = QDate::fromString(testo, formato); data.isValid())
            return data;
    }
    if (const QDate data = QDate::fromString(testo, Qt::ISODate); data.isValid())
        return data;
    if (const QDateTime momento = QDateTime::fromString(testo, Qt::ISODate); momento.isValid())
        return momento.date();
    // A moment written by the components: the date, a blank and the time of day.
    const qsizetype spazio = testo.indexOf(QLatin1Char(' '));
    if (spazio <= 0)
        return std::nullopt;
    const QString ora = testo.mid(spazio + 1).trimmed();
    const bool oraValida = QTime::fromString(ora, QStringLiteral("H:mm:ss")).isValid() ||
                           QTime::fromString(ora, QStringLiteral("H:mm")).isValid();
    if (!oraValida)
        return std::nullopt;
    return daTesto(testo.left(spazio));
}

} // namespace

std::optional<QDate> comeData(const QVariant& risposta) {
    if (!risposta.isValid() || risposta.isNull())
        return std::nullopt;
    switch (risposta.metaType().id()) {
    case QMetaType::QDate:
        return valida(risposta.toDate());
    case QMetaType::QDateTime:
        return valida(risposta.toDateTime().date());
    case QMetaType::QString:
        return daTesto(risposta.toString());
    case QMetaType::QByteArray:
        return daTesto(QString::fromUtf8(risposta.toByteArray()));
    default:
        return std::nullopt;
    }
}

} // namespace KaloRefill::DataRisposta
