// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "kalorefill_export.h"

#include <QString>

#include <exception>
#include <string>

namespace KaloRefill {

// The classic run-time error numbers the module and its hosts raise.
namespace CodiceErrore {
inline constexpr int ChiamataNonValida = 5;
inline constexpr int Overflow = 6;
inline constexpr int IndiceNonValido = 9;
inline constexpr int DivisionePerZero = 11;
// The database does not let this user do what the program needs.
inline constexpr int AutorizzazioneNegata = 70;
inline constexpr int TipoNonCorrispondente = 13;
inline constexpr int OggettoNonImpostato = 91;
inline constexpr int UsoNonValidoDiNull = 94;
inline constexpr int ComponenteNonCreabile = 429;
inline constexpr int NessunRecordCorrente = 3021;
inline constexpr int CampoNonTrovato = 3265;
// The storage could not keep a unit of work (a save) as a whole; nothing of it was kept.
// Jet's "could not update; currently locked" number, the commonest cause.
inline constexpr int UnitaNonRiuscita = 3218;
// The generic provider failure (0x80004005) a database reports its own messages under.
inline constexpr int ErroreDatabase = -2147467259;
} // namespace CodiceErrore

// A run-time error: a number and an Italian description, as the operator sees them.
class KALOREFILL_EXPORT Errore : public std::exception {
public:
    Errore(int numero, QString descrizione);

    int numero() const noexcept { return m_numero; }
    const QString& descrizione() const noexcept { return m_descrizione; }
    const char* what() const noexcept override { return m_what.c_str(); }

    // The runtime's own errors, with their standard descriptions.
    static Errore chiamataNonValida();
    static Errore overflow();
    static Errore indiceNonValido();
    static Errore divisionePerZero();
    static Errore tipoNonCorrispondente();
    static Errore oggettoNonImpostato();
    static Errore usoNonValidoDiNull();
    static Errore componenteNonCreabile();
    static Errore nessunRecordCorrente();
    static Errore campoNonTrovato(const QString& campo);
    static Errore database(const QString& messaggio);
    // The unit of work cannot go on; `motivo` says why, in the operator's words.
    static Errore unitaNonRiuscita(const QString& motivo);

private:
    int m_numero;
    QString m_descrizione;
    std::string m_what;
};

} // namespace KaloRefill
