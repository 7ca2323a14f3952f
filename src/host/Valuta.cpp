#include "Valuta.h"

#include "Errore.h"

#include <QDate>

#include <cmath>
#include <limits>

namespace KaloRefill {

Valuta Valuta::daDouble(double valore) {
    if (!std::isfinite(valore))
        throw Errore::overflow();
    const double scalato = valore * 10000.0;
    // 2^63 is the edge of the 64-bit count; stay clear of it.
    if (std::fabs(scalato) >= 9.2e18)
        throw Errore::overflow();
    return daDecimillesimi(static_cast<std::int64_t>(std::nearbyint(scalato)));
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
