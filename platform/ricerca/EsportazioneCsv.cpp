// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "EsportazioneCsv.h"

#include <QSaveFile>

namespace KaloRefill::EsportazioneCsv {

namespace {

QString campo(const QString& valore) {
    const bool virgolette =
        valore.contains(QLatin1Char(';')) || valore.contains(QLatin1Char('"')) ||
        valore.contains(QLatin1Char('\n')) || valore.contains(QLatin1Char('\r'));
    if (!virgolette)
        return valore;
    QString doppio = valore;
    doppio.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + doppio + QLatin1Char('"');
}

} // namespace

QString riga(const QStringList& valori) {
    QStringList campi;
    campi.reserve(valori.size());
    for (const QString& valore : valori)
        campi.append(campo(valore));
    return campi.join(QLatin1Char(';')) + QLatin1String("\r\n");
}

QString testo(const TabellaTesto& tabella) {
    QString risultato = riga(tabella.intestazioni);
    for (const QStringList& valori : tabella.righe)
        risultato += riga(valori);
    return risultato;
}

bool scrivi(const QString& percorsoFile, const TabellaTesto& tabella, QString* errore) {
    return scriviTesto(percorsoFile, testo(tabella), errore);
}

bool scriviTesto(const QString& percorsoFile, const QString& testo, QString* errore) {
    QSaveFile file(percorsoFile);
    const QByteArray contenuto = QByteArrayLiteral("\xEF\xBB\xBF") + testo.toUtf8();
    const bool scritto = file.open(QIODevice::WriteOnly) &&
                         file.write(contenuto) == contenuto.size() && file.commit();
    if (!scritto && errore)
        *errore = file.errorString();
    return scritto;
}

} // namespace KaloRefill::EsportazioneCsv
