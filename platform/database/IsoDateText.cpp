// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "IsoDateText.h"

#include <QTimeZone>

namespace KaloRefill {

namespace {
const QString formatoData = QStringLiteral("yyyy-MM-dd");
const QString formatoOra = QStringLiteral("HH:mm:ss");

// Seconds are the finest unit the database keeps.
QTime alSecondo(const QTime& ora) {
    return QTime(ora.hour(), ora.minute(), ora.second());
}

// The number written with exactly n digits from position da; -1 when it is not.
int cifre(QStringView testo, qsizetype da, qsizetype n) {
    int numero = 0;
    for (qsizetype i = da; i < da + n; ++i) {
        const QChar c = testo.at(i);
        if (c < u'0' || c > u'9')
            return -1;
        numero = numero * 10 + (c.unicode() - u'0');
    }
    return numero;
}

// "yyyy-MM-dd" at the start of the text.
QDate dataIniziale(QStringView testo) {
    if (testo.size() < 10 || testo.at(4) != u'-' || testo.at(7) != u'-')
        return {};
    const int anno = cifre(testo, 0, 4), mese = cifre(testo, 5, 2), giorno = cifre(testo, 8, 2);
    if (anno < 0 || mese < 0 || giorno < 0)
        return {};
    return QDate(anno, mese, giorno);
}

// "HH:mm:ss", the whole text.
QTime oraEsatta(QStringView testo) {
    if (testo.size() != 8 || testo.at(2) != u':' || testo.at(5) != u':')
        return {};
    const int ore = cifre(testo, 0, 2), minuti = cifre(testo, 3, 2), secondi = cifre(testo, 6, 2);
    if (ore < 0 || minuti < 0 || secondi < 0)
        return {};
    return QTime(ore, minuti, secondi);
}

// A moment of this computer's time zone. Qt's own copy of the zone, read once, answers
// for every value; a local-time QDateTime would have the C library look at the zone file
// again for each one.
QDateTime momentoLocale(const QDate& data, const QTime& ora) {
    static const QTimeZone zona = QTimeZone::systemTimeZone();
    return zona.isValid() ? QDateTime(data, ora, zona) : QDateTime(data, ora);
}

// "yyyy-MM-dd HH:mm:ss" or "yyyy-MM-ddTHH:mm:ss".
QDateTime leggiMomentoCompleto(const QString& testo) {
    if (testo.size() != 19 || (testo.at(10) != u' ' && testo.at(10) != u'T'))
        return {};
    const QDate data = dataIniziale(testo);
    const QTime ora = oraEsatta(QStringView(testo).mid(11));
    if (!data.isValid() || !ora.isValid())
        return {};
    return momentoLocale(data, ora);
}
} // namespace

namespace {
// Two or four digits, written straight: formatting through the locale's machinery is the
// larger part of converting a moment for every row saved.
void scriviCifre(QString& testo, int valore, int quante) {
    for (int potenza = quante == 4 ? 1000 : 10; potenza > 0; potenza /= 10)
        testo.append(QChar(u'0' + (valore / potenza) % 10));
}

void scriviData(QString& testo, const QDate& data) {
    scriviCifre(testo, data.year(), 4);
    testo.append(QLatin1Char('-'));
    scriviCifre(testo, data.month(), 2);
    testo.append(QLatin1Char('-'));
    scriviCifre(testo, data.day(), 2);
}

void scriviOra(QString& testo, const QTime& ora) {
    scriviCifre(testo, ora.hour(), 2);
    testo.append(QLatin1Char(':'));
    scriviCifre(testo, ora.minute(), 2);
    testo.append(QLatin1Char(':'));
    scriviCifre(testo, ora.second(), 2);
}

bool annoDiQuattroCifre(const QDate& data) {
    return data.isValid() && data.year() >= 1 && data.year() <= 9999;
}
} // namespace

QString IsoDateText::data(const QDate& data) {
    if (!annoDiQuattroCifre(data))
        return data.toString(formatoData);
    QString testo;
    testo.reserve(10);
    scriviData(testo, data);
    return testo;
}

QString IsoDateText::ora(const QTime& ora) {
    if (!ora.isValid())
        return alSecondo(ora).toString(formatoOra);
    QString testo;
    testo.reserve(8);
    scriviOra(testo, ora);
    return testo;
}

QString IsoDateText::momento(const QDate& data, const QTime& ora) {
    const QTime secondi = alSecondo(ora);
    if (!secondi.isValid() || secondi == QTime(0, 0))
        return IsoDateText::data(data);
    // Written from its parts: a local-time QDateTime would ask the C library for the zone.
    if (!annoDiQuattroCifre(data))
        return data.toString(formatoData) + QLatin1Char(' ') + secondi.toString(formatoOra);
    QString testo;
    testo.reserve(19);
    scriviData(testo, data);
    testo.append(QLatin1Char(' '));
    scriviOra(testo, secondi);
    return testo;
}

QString IsoDateText::momento(const QDateTime& momento) {
    const QDateTime locale = momento.toLocalTime();
    return IsoDateText::momento(locale.date(), locale.time());
}

QVariant IsoDateText::leggiData(const QString& testo) {
    const QDate d = testo.size() == 10 ? dataIniziale(testo) : QDate();
    if (d.isValid())
        return d;
    const QDateTime m = leggiMomentoCompleto(testo);
    return m.isValid() ? QVariant(m) : QVariant();
}

QVariant IsoDateText::leggiMomento(const QString& testo) {
    const QDate d = testo.size() == 10 ? dataIniziale(testo) : QDate();
    if (d.isValid())
        return momentoLocale(d, QTime(0, 0));
    const QDateTime m = leggiMomentoCompleto(testo);
    return m.isValid() ? QVariant(m) : QVariant();
}

QVariant IsoDateText::leggiOra(const QString& testo) {
    QTime t = oraEsatta(testo);
    if (!t.isValid()) {
        // A time written with its date by another program: the time of day is what counts.
        const QDateTime m = leggiMomentoCompleto(testo);
        if (m.isValid())
            t = m.time();
    }
    return t.isValid() ? QVariant(t) : QVariant();
}

} // namespace KaloRefill
