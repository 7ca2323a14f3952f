// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "ConfrontoValori.h"

#include "FormatoItaliano.h"

#include <QDateTime>
#include <QTime>

#include <utility>

namespace KaloRefill::ConfrontoValori {

namespace {

enum class Genere { Vuoto, Numero, Momento, Ora, Testo };

Genere genere(const QVariant& v) {
    if (!v.isValid() || v.isNull())
        return Genere::Vuoto;
    if (FormatoItaliano::comeImporto(v) || FormatoItaliano::eIntero(v))
        return Genere::Numero;
    switch (v.metaType().id()) {
    case QMetaType::Bool:
        return Genere::Numero;
    case QMetaType::QDate:
    case QMetaType::QDateTime:
        return Genere::Momento;
    case QMetaType::QTime:
        return Genere::Ora;
    default:
        return Genere::Testo;
    }
}

double numero(const QVariant& v) {
    if (const std::optional<Valuta> importo = FormatoItaliano::comeImporto(v))
        return importo->toDouble();
    return v.toDouble();
}

// Day and time as the list shows them. Going through a QDateTime of the day would ask
// the time zone at every comparison, which sorting a long list pays for by the second.
std::pair<QDate, QTime> momento(const QVariant& v) {
    if (v.metaType().id() == QMetaType::QDate)
        return {v.toDate(), QTime(0, 0)};
    const QDateTime istante = v.toDateTime();
    return {istante.date(), istante.time()};
}

} // namespace

bool minore(const QVariant& a, const QVariant& b) {
    const Genere ga = genere(a);
    const Genere gb = genere(b);
    if (ga != gb)
        return ga < gb;
    switch (ga) {
    case Genere::Vuoto:
        return false;
    case Genere::Numero:
        return numero(a) < numero(b);
    case Genere::Momento:
        return momento(a) < momento(b);
    case Genere::Ora:
        return a.toTime() < b.toTime();
    case Genere::Testo:
        break;
    }
    const QString ta = a.toString();
    const QString tb = b.toString();
    const int senzaMaiuscole = ta.compare(tb, Qt::CaseInsensitive);
    if (senzaMaiuscole != 0)
        return senzaMaiuscole < 0;
    return ta < tb;
}

} // namespace KaloRefill::ConfrontoValori
