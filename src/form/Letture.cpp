// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "form/Letture.h"

#include "host/Errore.h"
#include "host/Valuta.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <cmath>

namespace KaloRefill::Letture {

namespace {
bool cifra(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }
bool spazio(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n'); }

QString numeroBreve(double valore) {
    if (valore == 0)
        return QStringLiteral("0");
    return QString::number(valore, 'g', 15).replace(QLatin1Char('.'), QLatin1Char(','));
}
} // namespace

double letturaIntera(const QString& testo) {
    // Sign, digits, one decimal point and an exponent; blanks anywhere are skipped.
    QString numero;
    bool puntoVisto = false, esponente = false;
    int cifreMantissa = 0;
    for (const QChar c : testo) {
        if (spazio(c))
            continue;
        const QChar ultimo = numero.isEmpty() ? QChar() : numero.back();
        if (cifra(c)) {
            numero.append(c);
            if (!esponente)
                ++cifreMantissa;
        } else if ((c == QLatin1Char('-') || c == QLatin1Char('+')) &&
                   (numero.isEmpty() || ultimo == QLatin1Char('e'))) {
            numero.append(c);
        } else if (c == QLatin1Char('.') && !puntoVisto && !esponente) {
            numero.append(c);
            puntoVisto = true;
        } else if (QStringLiteral("eEdD").contains(c) && !esponente && cifreMantissa > 0) {
            numero.append(QLatin1Char('e'));
            esponente = true;
        } else {
            break;
        }
    }
    // A dangling exponent or sign adds nothing to the number already read.
    while (!numero.isEmpty() && !cifra(numero.back()) && numero.back() != QLatin1Char('.'))
        numero.chop(1);
    bool ok = false;
    const double valore = numero.toDouble(&ok);
    return ok ? valore : 0.0;
}

double letturaImporto(const QString& testo) {
    const QString t = testo.trimmed();
    int i = 0;
    if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+')))
        ++i;
    const int inizioCifre = i;
    while (i < t.size() && cifra(t[i]))
        ++i;
    int cifreIntere = i - inizioCifre, cifreDecimali = 0;
    if (i < t.size() && t[i] == QLatin1Char(',')) {
        ++i;
        const int inizioDecimali = i;
        while (i < t.size() && cifra(t[i]))
            ++i;
        cifreDecimali = i - inizioDecimali;
    }
    if (i != t.size() || cifreIntere + cifreDecimali == 0)
        throw Errore::tipoNonCorrispondente();
    QString numero = t;
    numero.replace(QLatin1Char(','), QLatin1Char('.'));
    if (numero.endsWith(QLatin1Char('.')))
        numero.chop(1);
    return numero.toDouble();
}

QString testoRisultato(double valore) {
    if (!std::isfinite(valore))
        throw Errore::overflow();
    // Beyond what whole cents can hold the plain number form takes over.
    if (std::fabs(valore) >= 1e15)
        return numeroBreve(valore);
    // Whole part and cents apart: the whole part is exact in a double, and scaling only the
    // fraction by 100 keeps the cents exact up to 10^15.
    const double assoluto = std::fabs(valore);
    double intero = std::trunc(assoluto);
    double centesimi = std::nearbyint((assoluto - intero) * 100.0);
    if (centesimi >= 100) {
        intero += 1;
        centesimi = 0;
    }
    QString testo = QString::number(static_cast<long long>(intero));
    if (centesimi > 0) {
        QString decimali = QStringLiteral("%1").arg(static_cast<int>(centesimi), 2, 10, QLatin1Char('0'));
        if (decimali.endsWith(QLatin1Char('0')))
            decimali.chop(1);
        testo += QLatin1Char(',') + decimali;
    }
    if (valore < 0 && (intero > 0 || centesimi > 0))
        testo.prepend(QLatin1Char('-'));
    return testo;
}

QString dataBreve(const QDate& data) { return data.toString(QStringLiteral("dd/MM/yyyy")); }

QString testoPredefinito(const QVariant& valore) {
    if (valore.isNull() || !valore.isValid())
        return {};
    if (valore.metaType() == QMetaType::fromType<Valuta>())
        return valore.value<Valuta>().testo(QLatin1Char(','));
    switch (valore.metaType().id()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return numeroBreve(valore.toDouble());
    case QMetaType::Bool:
        return valore.toBool() ? QStringLiteral("Vero") : QStringLiteral("Falso");
    case QMetaType::QDate:
        return dataBreve(valore.toDate());
    case QMetaType::QDateTime: {
        const QDateTime momento = valore.toDateTime();
        if (momento.time() == QTime(0, 0))
            return dataBreve(momento.date());
        return dataBreve(momento.date()) + QLatin1Char(' ') + momento.time().toString(QStringLiteral("HH:mm:ss"));
    }
    case QMetaType::QTime:
        return valore.toTime().toString(QStringLiteral("HH:mm:ss"));
    default:
        return valore.toString();
    }
}

qint16 intero16(const QVariant& valore) {
    if (valore.isNull())
        throw Errore::usoNonValidoDiNull();
    double numero = 0;
    if (valore.metaType().id() == QMetaType::QString) {
        numero = letturaImporto(valore.toString());
    } else {
        bool ok = false;
        numero = valore.toDouble(&ok);
        if (!ok)
            throw Errore::tipoNonCorrispondente();
    }
    const double arrotondato = std::nearbyint(numero);
    if (arrotondato < -32768 || arrotondato > 32767)
        throw Errore::overflow();
    return static_cast<qint16>(arrotondato);
}

bool vero(const QVariant& valore) {
    if (valore.isNull() || !valore.isValid())
        return false;
    bool ok = false;
    const double numero = valore.toDouble(&ok);
    if (ok)
        return numero != 0;
    return valore.toBool();
}

} // namespace KaloRefill::Letture
