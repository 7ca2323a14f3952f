// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "host/Valuta.h"

#include "host/Errore.h"

#include <QDate>

#include <cmath>
#include <limits>

namespace KaloRefill {

Valuta Valuta::daDouble(double valore) {
    if (!std::isfinite(valore))
        throw Errore::overflow();
    // 2^63 is the edge of the 64-bit count; stay clear of it.
    if (std::fabs(valore) * 10000.0 >= 9.2e18)
        throw Errore::overflow();
    // Whole part and fraction apart: both are exact in a double, and so the count is exact
    // for every amount a double holds, where valore * 10000 would round above 2^53.
    const double intero = std::trunc(valore);
    return daDecimillesimi(static_cast<std::int64_t>(intero) * 10000 +
                           static_cast<std::int64_t>(std::nearbyint((valore - intero) * 10000.0)));
}

Valuta Valuta::daVariant(const QVariant& valore) {
    if (valore.isNull())
        throw Errore::usoNonValidoDiNull();
    if (valore.metaType() == QMetaType::fromType<Valuta>())
        return valore.value<Valuta>();
    switch (valore.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Bool:
        return daDouble(static_cast<double>(valore.toLongLong()));
    case QMetaType::Double:
    case QMetaType::Float:
        return daDouble(valore.toDouble());
    case QMetaType::QString: {
        QString testo = valore.toString().trimmed();
        testo.replace(QLatin1Char(','), QLatin1Char('.'));
        bool ok = false;
        const double numero = testo.toDouble(&ok);
        if (!ok)
            throw Errore::tipoNonCorrispondente();
        return daDouble(numero);
    }
    default:
        throw Errore::tipoNonCorrispondente();
    }
}

std::optional<Valuta> Valuta::daTestoEsatto(const QString& testo) {
    const QString t = testo.trimmed();
    const bool negativo = t.startsWith(QLatin1Char('-'));
    qsizetype i = negativo ? 1 : 0;
    std::int64_t intero = 0;
    int cifreIntere = 0;
    for (; i < t.size() && t.at(i).isDigit(); ++i) {
        if (cifreIntere > 0 || t.at(i) != QLatin1Char('0'))
            ++cifreIntere;
        if (cifreIntere > 15)
            return std::nullopt;
        intero = intero * 10 + t.at(i).digitValue();
    }
    bool cifre = i > (negativo ? 1 : 0);
    std::int64_t decimali = 0;
    int cifreDecimali = 0;
    if (i < t.size() && (t.at(i) == QLatin1Char(',') || t.at(i) == QLatin1Char('.'))) {
        for (++i; i < t.size() && t.at(i).isDigit(); ++i) {
            if (++cifreDecimali > 4)
                return std::nullopt;
            decimali = decimali * 10 + t.at(i).digitValue();
            cifre = true;
        }
    }
    if (!cifre || i != t.size())
        return std::nullopt;
    for (int k = cifreDecimali; k < 4; ++k)
        decimali *= 10;
    // The 64-bit count of ten-thousandths ends a little above 922 thousand billion.
    if (intero > 922337203685476)
        return std::nullopt;
    const std::int64_t decimillesimi = (intero * 10000 + decimali) * (negativo ? -1 : 1);
    // The engines keep an amount as a double: beyond about 15 significant digits the
    // stored value is another amount.
    double comeDouble = 0;
    try {
        comeDouble = daDouble(QString(t).replace(QLatin1Char(','), QLatin1Char('.')).toDouble()).toDouble();
        if (daDouble(comeDouble).decimillesimi() != decimillesimi)
            return std::nullopt;
    } catch (const Errore&) {
        return std::nullopt;
    }
    return daDecimillesimi(decimillesimi);
}

Valuta operator+(Valuta a, Valuta b) {
    std::int64_t somma = 0;
    if (__builtin_add_overflow(a.m_decimillesimi, b.m_decimillesimi, &somma))
        throw Errore::overflow();
    return Valuta::daDecimillesimi(somma);
}

Valuta operator-(Valuta a, Valuta b) {
    std::int64_t differenza = 0;
    if (__builtin_sub_overflow(a.m_decimillesimi, b.m_decimillesimi, &differenza))
        throw Errore::overflow();
    return Valuta::daDecimillesimi(differenza);
}

QString Valuta::testo(QChar separatoreDecimale) const {
    const bool negativo = m_decimillesimi < 0;
    // Work on the magnitude as unsigned so the most negative count has no overflow.
    const auto assoluto = negativo ? 0ULL - static_cast<unsigned long long>(m_decimillesimi)
                                   : static_cast<unsigned long long>(m_decimillesimi);
    QString risultato = QString::number(assoluto / 10000);
    unsigned long long decimali = assoluto % 10000;
    if (decimali != 0) {
        QString cifre = QStringLiteral("%1").arg(decimali, 4, 10, QLatin1Char('0'));
        while (cifre.endsWith(QLatin1Char('0')))
            cifre.chop(1);
        risultato.append(separatoreDecimale).append(cifre);
    }
    if (negativo)
        risultato.prepend(QLatin1Char('-'));
    return risultato;
}

} // namespace KaloRefill
