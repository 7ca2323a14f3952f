// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "FormatoItaliano.h"

#include <QHash>
#include <QTime>

#include <exception>

namespace KaloRefill::FormatoItaliano {

bool eIntero(const QVariant& valore) {
    switch (valore.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return !valore.isNull();
    default:
        return false;
    }
}

QString data(const QDate& data) {
    return data.isValid() ? data.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

QString momento(const QDateTime& momento) {
    if (!momento.isValid())
        return {};
    if (momento.time() == QTime(0, 0))
        return data(momento.date());
    return data(momento.date()) + QLatin1Char(' ') +
           momento.time().toString(QStringLiteral("HH:mm:ss"));
}

QString importo(Valuta valore) {
    const std::int64_t decimillesimi = valore.decimillesimi();
    const bool negativo = decimillesimi < 0;
    // Magnitude in unsigned arithmetic, so the most negative count has no overflow.
    const unsigned long long assoluto = negativo
                                            ? 0ULL - static_cast<unsigned long long>(decimillesimi)
                                            : static_cast<unsigned long long>(decimillesimi);
    const unsigned long long centesimi = (assoluto + 50) / 100;
    QString risultato = QString::number(centesimi / 100) + QLatin1Char(',') +
                        QStringLiteral("%1").arg(centesimi % 100, 2, 10, QLatin1Char('0'));
    if (negativo && centesimi != 0)
        risultato.prepend(QLatin1Char('-'));
    return risultato;
}

std::optional<Valuta> comeImporto(const QVariant& valore) {
    if (!valore.isValid() || valore.isNull())
        return std::nullopt;
    if (valore.metaType() == QMetaType::fromType<Valuta>())
        return valore.value<Valuta>();
    const int tipo = valore.metaType().id();
    if (tipo != QMetaType::Double && tipo != QMetaType::Float)
        return std::nullopt;
    try {
        return Valuta::daDouble(valore.toDouble());
    } catch (const std::exception&) {
        return std::nullopt; // infinite or beyond any amount: not shown as one
    }
}

QString testo(const QVariant& valore, bool comeImportoFisso) {
    if (!valore.isValid() || valore.isNull())
        return {};
    if (const std::optional<Valuta> somma = comeImporto(valore))
        return comeImportoFisso ? importo(*somma) : somma->testo(QLatin1Char(','));
    switch (valore.metaType().id()) {
    case QMetaType::QDate:
        return data(valore.toDate());
    case QMetaType::QDateTime:
        return momento(valore.toDateTime());
    case QMetaType::QTime:
        return valore.toTime().toString(QStringLiteral("HH:mm:ss"));
    case QMetaType::Bool:
        return valore.toBool() ? QStringLiteral("Sì") : QStringLiteral("No");
    case QMetaType::Double:
    case QMetaType::Float:
        // Only reached for values no amount can hold.
        return QString::number(valore.toDouble(), 'g', 15)
            .replace(QLatin1Char('.'), QLatin1Char(','));
    default:
        return valore.toString();
    }
}

QString intestazione(const QString& campo) {
    static const QHash<QString, QString> intestazioni = {
        {QStringLiteral("dataincasso"), QStringLiteral("Data")},
        {QStringLiteral("refillgestore"), QStringLiteral("Importo")},
        {QStringLiteral("idoperatore"), QStringLiteral("Operatore")},
        {QStringLiteral("descrizione"), QStringLiteral("Apparecchio")},
        {QStringLiteral("codcausale"), QStringLiteral("Causale")},
        {QStringLiteral("dataregistrazione"), QStringLiteral("Data registrazione")},
        {QStringLiteral("codlocale"), QStringLiteral("Locale")},
        {QStringLiteral("codiceazienda"), QStringLiteral("Azienda")},
        {QStringLiteral("refillnoleggiatore"), QStringLiteral("Totale refill")},
        {QStringLiteral("chiuso"), QStringLiteral("Chiuso")},
        {QStringLiteral("iddata"), QStringLiteral("Ultimo salvataggio")},
        {QStringLiteral("id"), QStringLiteral("N°")},
        {QStringLiteral("import"), QStringLiteral("Importato")},
        {QStringLiteral("note"), QStringLiteral("Note")},
        {QStringLiteral("refilllocale"), QStringLiteral("Refill locale")},
        // The register's numbered rows ("Cerca" with the hall's controls on).
        {QStringLiteral("anno"), QStringLiteral("Anno")},
        {QStringLiteral("numero"), QStringLiteral("Numero")},
        {QStringLiteral("dataora"), QStringLiteral("Data e ora")},
        {QStringLiteral("codiceinterno"), QStringLiteral("Codice")},
        {QStringLiteral("nomescheda"), QStringLiteral("Apparecchio")},
        {QStringLiteral("differenza"), QStringLiteral("Importo")},
        {QStringLiteral("testimone"), QStringLiteral("Testimone")},
        {QStringLiteral("motivo"), QStringLiteral("Motivo")},
    };
    // Joined queries name their fields "Table.Field".
    const QString nome = campo.section(QLatin1Char('.'), -1).toLower();
    return intestazioni.value(nome, campo);
}

} // namespace KaloRefill::FormatoItaliano
