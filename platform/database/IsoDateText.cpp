#include "IsoDateText.h"

namespace KaloRefill {

namespace {
const QString formatoData = QStringLiteral("yyyy-MM-dd");
const QString formatoOra = QStringLiteral("HH:mm:ss");
const QString formatoMomento = QStringLiteral("yyyy-MM-dd HH:mm:ss");

// Seconds are the finest unit the database keeps.
QTime alSecondo(const QTime& ora) {
    return QTime(ora.hour(), ora.minute(), ora.second());
}

QDateTime leggiMomentoCompleto(const QString& testo) {
    QDateTime m = QDateTime::fromString(testo, formatoMomento);
    if (!m.isValid())
        m = QDateTime::fromString(testo, QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    return m;
}
} // namespace

QString IsoDateText::data(const QDate& data) {
    return data.toString(formatoData);
}

QString IsoDateText::ora(const QTime& ora) {
    return alSecondo(ora).toString(formatoOra);
}

QString IsoDateText::momento(const QDate& data, const QTime& ora) {
    const QTime secondi = alSecondo(ora);
    if (!secondi.isValid() || secondi == QTime(0, 0))
        return IsoDateText::data(data);
    return QDateTime(data, secondi).toString(formatoMomento);
}

QString IsoDateText::momento(const QDateTime& momento) {
    const QDateTime locale = momento.toLocalTime();
    return IsoDateText::momento(locale.date(), locale.time());
}

QVariant IsoDateText::leggiData(const QString& testo) {
    const QDate d = QDate::fromString(testo, formatoData);
    if (d.isValid())
        return d;
    const QDateTime m = leggiMomentoCompleto(testo);
    return m.isValid() ? QVariant(m) : QVariant();
}

QVariant IsoDateText::leggiMomento(const QString& testo) {
    const QDate d = QDate::fromString(testo, formatoData);
    if (d.isValid())
        return QDateTime(d, QTime(0, 0));
    const QDateTime m = leggiMomentoCompleto(testo);
    return m.isValid() ? QVariant(m) : QVariant();
}

QVariant IsoDateText::leggiOra(const QString& testo) {
    QTime t = QTime::fromString(testo, formatoOra);
    if (!t.isValid()) {
        // A time written with its date by another program: the time of day is what counts.
        const QDateTime m = leggiMomentoCompleto(testo);
        if (m.isValid())
            t = m.time();
    }
    return t.isValid() ? QVariant(t) : QVariant();
}

} // namespace KaloRefill
