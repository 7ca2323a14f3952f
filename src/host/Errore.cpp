// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "host/Errore.h"

#include <utility>

namespace KaloRefill {

Errore::Errore(int numero, QString descrizione)
    : m_numero(numero), m_descrizione(std::move(descrizione)),
      m_what(QString::number(numero).append(u" - ").append(m_descrizione).toStdString()) {}

Errore Errore::chiamataNonValida() {
    return {CodiceErrore::ChiamataNonValida,
            QStringLiteral("Chiamata di routine o argomento non validi")};
}

Errore Errore::oggettoNonImpostato() {
    return {CodiceErrore::OggettoNonImpostato,
            QStringLiteral("Variabile oggetto o variabile del blocco With non impostata")};
}

Errore Errore::overflow() {
    return {CodiceErrore::Overflow, QStringLiteral("Overflow")};
}

Errore Errore::indiceNonValido() {
    return {CodiceErrore::IndiceNonValido, QStringLiteral("Indice non incluso nell'intervallo")};
}

Errore Errore::divisionePerZero() {
    return {CodiceErrore::DivisionePerZero, QStringLiteral("Divisione per zero")};
}

Errore Errore::tipoNonCorrispondente() {
    return {CodiceErrore::TipoNonCorrispondente, QStringLiteral("Tipo non corrispondente")};
}

Errore Errore::usoNonValidoDiNull() {
    return {CodiceErrore::UsoNonValidoDiNull, QStringLiteral("Utilizzo non valido di Null")};
}

Errore Errore::componenteNonCreabile() {
    return {CodiceErrore::ComponenteNonCreabile,
            QStringLiteral("Il componente ActiveX non può creare l'oggetto")};
}

Errore Errore::nessunRecordCorrente() {
    return {CodiceErrore::NessunRecordCorrente,
            QStringLiteral("BOF o EOF è True, oppure il record corrente è stato eliminato. "
                           "L'operazione richiesta richiede un record corrente.")};
}

Errore Errore::campoNonTrovato(const QString& campo) {
    return {CodiceErrore::CampoNonTrovato,
            QStringLiteral("Impossibile trovare l'elemento nell'insieme corrispondente al nome o "
                           "al numero richiesto (%1).")
                .arg(campo)};
}

Errore Errore::database(const QString& messaggio) {
    return {CodiceErrore::ErroreDatabase, messaggio};
}

Errore Errore::unitaNonRiuscita(const QString& motivo) {
    return {CodiceErrore::UnitaNonRiuscita, motivo};
}

} // namespace KaloRefill
