// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "documento/RigaRegistro.h"

#include <QCryptographicHash>

namespace KaloRefill {

namespace {
QString protetto(QString valore) {
    valore.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    valore.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    valore.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    return valore;
}
} // namespace

QByteArray RigaRegistro::testoCanonico(const QString& precedente) const {
    const auto importo = [](const Valuta& v) { return QString::number(v.decimillesimi()); };
    const std::pair<const char*, QString> campi[] = {
        {"precedente", precedente},
        {"codlocale", codLocale},
        {"anno", QString::number(anno)},
        {"numero", QString::number(numero)},
        {"dataora", dataOra.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"))},
        {"giornata", giornata.toString(QStringLiteral("yyyy-MM-dd"))},
        {"idscheda", QString::number(idScheda)},
        {"codiceinterno", codiceInterno},
        {"nomescheda", nomeScheda},
        {"codiceaams", codiceAams},
        {"prima", importo(prima)},
        {"dopo", importo(dopo)},
        {"differenza", importo(differenza)},
        {"operatore", operatore},
        {"testimone", testimone},
        {"motivo", motivo},
        {"annocorretto", QString::number(annoCorretto)},
        {"numerocorretto", QString::number(numeroCorretto)},
    };
    QString testo = QStringLiteral("KaloRefill RegistroRefill 1\n");
    for (const auto& [nome, valore] : campi)
        testo += QLatin1String(nome) + QLatin1Char('=') + protetto(valore) + QLatin1Char('\n');
    return testo.toUtf8();
}

QString RigaRegistro::calcolaImpronta(const QString& precedente) const {
    return QString::fromLatin1(
        QCryptographicHash::hash(testoCanonico(precedente), QCryptographicHash::Sha256).toHex());
}

QString RigaRegistro::nome(int anno, qint64 numero) {
    return QStringLiteral("N. %1/%2").arg(numero).arg(anno);
}

} // namespace KaloRefill
