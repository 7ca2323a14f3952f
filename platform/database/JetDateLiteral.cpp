// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "JetDateLiteral.h"

#include "IsoDateText.h"
#include "host/Errore.h"

#include <QStringList>

namespace KaloRefill {

namespace {

Errore dataNonValida(const QString& interno) {
    return Errore::database(
        QStringLiteral("Errore di sintassi nella data dell'istruzione SQL: #%1#.").arg(interno));
}

// A field of digits only; -1 when it is anything else.
int cifre(QStringView testo, int massimoCifre) {
    if (testo.isEmpty() || testo.size() > massimoCifre)
        return -1;
    for (QChar c : testo)
        if (c < u'0' || c > u'9')
            return -1;
    return testo.toInt();
}

// Two-digit years as the original read them: 00-29 this century, 30-99 the last.
int annoCompleto(QStringView testo) {
    const int anno = cifre(testo, 4);
    if (anno < 0 || testo.size() == 3)
        return -1;
    if (testo.size() <= 2)
        return anno < 30 ? 2000 + anno : 1900 + anno;
    return anno;
}

QDate leggiData(const QString& testo) {
    QChar separatore;
    for (QChar c : testo)
        if (c == u'/' || c == u'-' || c == u'.') {
            separatore = c;
            break;
        }
    if (separatore.isNull())
        return {};
    const QStringList parti = testo.split(separatore);
    if (parti.size() != 3)
        return {};
    if (parti.at(0).size() == 4) // ISO: year first
        return QDate(cifre(parti.at(0), 4), cifre(parti.at(1), 2), cifre(parti.at(2), 2));
    return QDate(annoCompleto(parti.at(2)), cifre(parti.at(0), 2), cifre(parti.at(1), 2));
}

QTime leggiOra(const QString& testo, const QString& suffisso) {
    const QStringList parti = testo.split(u':');
    if (parti.size() < 2 || parti.size() > 3)
        return {};
    int ore = cifre(parti.at(0), 2);
    const int minuti = cifre(parti.at(1), 2);
    const int secondi = parti.size() == 3 ? cifre(parti.at(2), 2) : 0;
    if (ore < 0 || minuti < 0 || secondi < 0)
        return {};
    if (!suffisso.isEmpty()) {
        const bool pm = suffisso.compare(u"PM", Qt::CaseInsensitive) == 0;
        if (!pm && suffisso.compare(u"AM", Qt::CaseInsensitive) != 0)
            return {};
        if (ore < 1 || ore > 12)
            return {};
        ore = ore % 12 + (pm ? 12 : 0);
    }
    return QTime(ore, minuti, secondi);
}

} // namespace

JetDateLiteral JetDateLiteral::parse(const QString& interno) {
    const QStringList parti = interno.simplified().split(u' ', Qt::SkipEmptyParts);
    if (parti.isEmpty() || parti.size() > 3)
        throw dataNonValida(interno);

    JetDateLiteral letterale;
    qsizetype prossima = 0;
    if (!parti.at(0).contains(u':')) {
        letterale.m_date = leggiData(parti.at(0));
        if (!letterale.m_date.isValid())
            throw dataNonValida(interno);
        prossima = 1;
    }
    if (prossima < parti.size()) {
        const QString suffisso = prossima + 1 < parti.size() ? parti.at(prossima + 1) : QString();
        if (prossima + 2 < parti.size())
            throw dataNonValida(interno);
        letterale.m_time = leggiOra(parti.at(prossima), suffisso);
        if (!letterale.m_time.isValid())
            throw dataNonValida(interno);
    }
    return letterale;
}

} // namespace KaloRefill
