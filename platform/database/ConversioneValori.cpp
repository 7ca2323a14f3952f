// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "ConversioneValori.h"

#include "IsoDateText.h"
#include "host/Errore.h"
#include "host/Valuta.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QTime>

#include <cmath>
#include <limits>
#include <optional>

namespace KaloRefill {

namespace {

bool nullo(const QVariant& v) {
    return !v.isValid() || v.isNull();
}

bool eValuta(const QVariant& v) {
    return v.metaType() == QMetaType::fromType<Valuta>();
}

bool eIntero(const QVariant& v) {
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

bool eReale(const QVariant& v) {
    return v.metaType().id() == QMetaType::Double || v.metaType().id() == QMetaType::Float;
}

bool eTesto(const QVariant& v) {
    return v.metaType().id() == QMetaType::QString;
}

bool eBool(const QVariant& v) {
    return v.metaType().id() == QMetaType::Bool;
}

double arrotonda4(double x) {
    return std::round(x * 1e4) / 1e4;
}

// "12.50", "12,50", "-3", ",5": one optional sign, digits, at most one separator of
// either kind. Thousands separators, exponents and words are not numbers here.
std::optional<double> numeroDaTesto(const QString& testo) {
    const QString t = testo.trimmed();
    QString normale;
    normale.reserve(t.size());
    bool separatore = false;
    bool cifre = false;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (c >= u'0' && c <= u'9') {
            cifre = true;
            normale.append(c);
        } else if ((c == u'.' || c == u',') && !separatore) {
            separatore = true;
            normale.append(QLatin1Char('.'));
        } else if ((c == u'+' || c == u'-') && i == 0) {
            normale.append(c);
        } else {
            return std::nullopt;
        }
    }
    if (!cifre)
        return std::nullopt;
    bool ok = false;
    const double numero = normale.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return numero;
}

std::optional<bool> booleanoDaParola(const QString& testo) {
    const QString t = testo.trimmed();
    for (QStringView vero : {u"true", u"vero", u"yes", u"sì", u"si"})
        if (t.compare(vero, Qt::CaseInsensitive) == 0)
            return true;
    for (QStringView falso : {u"false", u"falso", u"no"})
        if (t.compare(falso, Qt::CaseInsensitive) == 0)
            return false;
    return std::nullopt;
}

qint64 interoDaDouble(double x) {
    if (!std::isfinite(x) || std::fabs(x) >= 9.2e18)
        throw Errore::overflow();
    // Whole-number columns round halves to the even neighbour, as the original did.
    return static_cast<qint64>(std::nearbyint(x));
}

qint64 intero(const QVariant& v) {
    if (eBool(v))
        return v.toBool() ? -1 : 0;
    if (eValuta(v))
        return interoDaDouble(v.value<Valuta>().toDouble());
    if (eIntero(v)) {
        if (v.metaType().id() == QMetaType::ULongLong &&
            v.toULongLong() > static_cast<qulonglong>(std::numeric_limits<qint64>::max()))
            throw Errore::overflow();
        return v.toLongLong();
    }
    if (eReale(v))
        return interoDaDouble(v.toDouble());
    if (eTesto(v)) {
        bool ok = false;
        const qint64 n = v.toString().trimmed().toLongLong(&ok);
        if (ok)
            return n;
        if (const auto numero = numeroDaTesto(v.toString()))
            return interoDaDouble(*numero);
        if (const auto b = booleanoDaParola(v.toString()))
            return *b ? -1 : 0;
    }
    throw Errore::tipoNonCorrispondente();
}

double reale(const QVariant& v) {
    if (eBool(v))
        return v.toBool() ? -1.0 : 0.0;
    if (eValuta(v))
        return v.value<Valuta>().toDouble();
    if (eIntero(v) || eReale(v)) {
        const double x = v.toDouble();
        if (!std::isfinite(x))
            throw Errore::overflow();
        return x;
    }
    if (eTesto(v))
        if (const auto numero = numeroDaTesto(v.toString()))
            return *numero;
    throw Errore::tipoNonCorrispondente();
}

// Dates typed by hand arrive as Italian text or ISO text.
QDateTime momentoDaTesto(const QString& testo) {
    const QString t = testo.trimmed();
    for (QStringView formato : {u"yyyy-MM-dd", u"dd/MM/yyyy", u"d/M/yyyy"}) {
        const QDate d = QDate::fromString(t, formato.toString());
        if (d.isValid())
            return QDateTime(d, QTime(0, 0));
    }
    for (QStringView formato : {u"yyyy-MM-dd HH:mm:ss", u"yyyy-MM-ddTHH:mm:ss", u"yyyy-MM-dd HH:mm",
                                u"dd/MM/yyyy HH:mm:ss", u"dd/MM/yyyy HH:mm"}) {
        const QDateTime m = QDateTime::fromString(t, formato.toString());
        if (m.isValid())
            return m;
    }
    return {};
}

QString momento(const QVariant& v) {
    if (v.metaType().id() == QMetaType::QDate) {
        if (!v.toDate().isValid())
            throw Errore::tipoNonCorrispondente();
        return IsoDateText::data(v.toDate());
    }
    if (v.metaType().id() == QMetaType::QDateTime) {
        if (!v.toDateTime().isValid())
            throw Errore::tipoNonCorrispondente();
        return IsoDateText::momento(v.toDateTime());
    }
    if (eTesto(v)) {
        const QDateTime m = momentoDaTesto(v.toString());
        if (m.isValid())
            return IsoDateText::momento(m.date(), m.time());
    }
    throw Errore::tipoNonCorrispondente();
}

QString ora(const QVariant& v) {
    QTime t;
    if (v.metaType().id() == QMetaType::QTime)
        t = v.toTime();
    else if (v.metaType().id() == QMetaType::QDateTime)
        t = v.toDateTime().toLocalTime().time();
    else if (eTesto(v)) {
        const QString testo = v.toString().trimmed();
        t = QTime::fromString(testo, QStringLiteral("HH:mm:ss"));
        if (!t.isValid())
            t = QTime::fromString(testo, QStringLiteral("H:mm"));
    }
    if (!t.isValid())
        throw Errore::tipoNonCorrispondente();
    return IsoDateText::ora(t);
}

// Numbers written into text columns read as the operator would write them.
QString testo(const QVariant& v) {
    if (eTesto(v))
        return v.toString();
    if (eValuta(v))
        return v.value<Valuta>().testo(QLatin1Char(','));
    if (eBool(v))
        return v.toBool() ? QStringLiteral("-1") : QStringLiteral("0");
    if (eIntero(v))
        return v.toString();
    if (eReale(v)) {
        QLocale italiano(QLocale::Italian);
        italiano.setNumberOptions(QLocale::OmitGroupSeparator);
        return italiano.toString(v.toDouble(), 'g', 15);
    }
    if (v.metaType().id() == QMetaType::QDate || v.metaType().id() == QMetaType::QDateTime)
        return momento(v);
    if (v.metaType().id() == QMetaType::QTime)
        return ora(v);
    if (v.canConvert<QString>())
        return v.toString();
    throw Errore::tipoNonCorrispondente();
}

QVariant libero(const QVariant& v) {
    if (eBool(v) || eIntero(v))
        return intero(v);
    if (eReale(v) || eValuta(v))
        return reale(v);
    if (v.metaType().id() == QMetaType::QByteArray)
        return v;
    return testo(v);
}

QVariant numeroLetto(const QVariant& grezzo) {
    if (grezzo.metaType().id() == QMetaType::Double)
        return arrotonda4(grezzo.toDouble());
    // A server's 16- and 32-bit integers read as the file's 64-bit ones.
    if (eIntero(grezzo))
        return grezzo.toLongLong();
    if (eBool(grezzo))
        return qint64(grezzo.toBool() ? -1 : 0);
    return grezzo;
}

QVariant testoOppure(const QVariant& convertito, const QVariant& grezzo) {
    // A value another program left in a form we do not know is shown as it is.
    return convertito.isValid() ? convertito : grezzo;
}

} // namespace

QVariant ConversioneValori::perScrittura(TipoColonna tipo, const QVariant& valore) {
    if (nullo(valore))
        return {};
    switch (tipo) {
    case TipoColonna::Testo:
        return testo(valore);
    case TipoColonna::Intero:
        return intero(valore);
    case TipoColonna::Intero16: {
        const qint64 n = intero(valore);
        if (n < std::numeric_limits<qint16>::min() || n > std::numeric_limits<qint16>::max())
            throw Errore::overflow();
        return n;
    }
    case TipoColonna::Booleano:
        return qint64(intero(valore) != 0 ? -1 : 0);
    case TipoColonna::Importo:
        if (eValuta(valore))
            return valore.value<Valuta>().toDouble();
        return Valuta::daDouble(reale(valore)).toDouble();
    case TipoColonna::Reale:
        return reale(valore);
    case TipoColonna::Data:
    case TipoColonna::DataOra:
        return momento(valore);
    case TipoColonna::Ora:
        return ora(valore);
    case TipoColonna::Libero:
        return libero(valore);
    }
    return libero(valore);
}

QVariant ConversioneValori::perLettura(TipoColonna tipo, const QVariant& grezzo) {
    if (nullo(grezzo))
        return {};
    const bool numerico = grezzo.metaType().id() == QMetaType::LongLong ||
                          grezzo.metaType().id() == QMetaType::Double;
    // A server hands dates and times over in their own types; a moment at midnight in a
    // date column is the plain date, as the file keeps it.
    if (tipo != TipoColonna::Testo) {
        switch (grezzo.metaType().id()) {
        case QMetaType::QDate:
        case QMetaType::QTime:
            return grezzo;
        case QMetaType::QDateTime:
            if (tipo == TipoColonna::Data && grezzo.toDateTime().time() == QTime(0, 0))
                return grezzo.toDateTime().date();
            return grezzo;
        default:
            break;
        }
    }
    switch (tipo) {
    case TipoColonna::Testo:
        return grezzo.toString();
    case TipoColonna::Importo:
    case TipoColonna::Reale:
        if (numerico)
            return arrotonda4(grezzo.toDouble());
        return grezzo;
    case TipoColonna::Data:
        return numerico ? grezzo : testoOppure(IsoDateText::leggiData(grezzo.toString()), grezzo);
    case TipoColonna::DataOra:
        return numerico ? grezzo
                        : testoOppure(IsoDateText::leggiMomento(grezzo.toString()), grezzo);
    case TipoColonna::Ora:
        return numerico ? grezzo : testoOppure(IsoDateText::leggiOra(grezzo.toString()), grezzo);
    case TipoColonna::Intero:
    case TipoColonna::Intero16:
    case TipoColonna::Booleano:
    case TipoColonna::Libero:
        break;
    }
    return numeroLetto(grezzo);
}

} // namespace KaloRefill
