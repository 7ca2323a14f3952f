// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "NomiOperatori.h"

namespace KaloRefill {

namespace {

bool haCampo(const QStringList& campi, const QString& campo) {
    return campi.contains(campo, Qt::CaseInsensitive);
}

} // namespace

NomiOperatori NomiOperatori::leggi(Recordset* operatori) {
    NomiOperatori nomi;
    if (!operatori)
        return nomi;
    const QStringList campi = operatori->FieldNames();
    const QString codice = QStringLiteral("codice");
    const QString nome = QStringLiteral("nome");
    const QString cognome = QStringLiteral("cognome");
    if (!haCampo(campi, codice) || !(haCampo(campi, nome) || haCampo(campi, cognome)))
        return nomi;
    if (operatori->RecordCount() < 1 || (operatori->Bof() && operatori->Eof()))
        return nomi;
    operatori->MoveFirst();
    while (!operatori->Eof()) {
        QStringList parti;
        if (haCampo(campi, nome))
            parti << operatori->Field(nome).toString().trimmed();
        if (haCampo(campi, cognome))
            parti << operatori->Field(cognome).toString().trimmed();
        parti.removeAll(QString());
        nomi.aggiungi(operatori->Field(codice), parti.join(QLatin1Char(' ')));
        operatori->MoveNext();
    }
    return nomi;
}

void NomiOperatori::aggiungi(const QVariant& codice, const QString& nome) {
    const QString k = chiave(codice);
    if (!k.isEmpty() && !nome.isEmpty())
        m_nomi.insert(k, nome);
}

QString NomiOperatori::nome(const QVariant& codice) const {
    return m_nomi.value(chiave(codice));
}

QString NomiOperatori::chiave(const QVariant& codice) {
    if (!codice.isValid() || codice.isNull())
        return {};
    return codice.toString().trimmed().toLower();
}

} // namespace KaloRefill
