// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "kalorefill_export.h"

#include <QString>

class QWidget;

namespace KaloRefill::Messaggio {

// Answers, as the message box style numbers have always returned them.
inline constexpr int Ok = 1;
inline constexpr int Si = 6;
inline constexpr int No = 7;

// Style numbers: 0 OK, 4 Yes/No; 16 critical, 32 question, 48 exclamation, 64 information;
// 256 when the second button is the default.
inline constexpr int SoloOk = 0;
inline constexpr int SiNo = 4;
inline constexpr int Critico = 16;
inline constexpr int Domanda = 32;
inline constexpr int Esclamativo = 48;
inline constexpr int Informazione = 64;
inline constexpr int SecondoPredefinito = 256;

// The title a box gets when it has none of its own.
KALOREFILL_EXPORT QString titoloPredefinito();

// Shows a modal QMessageBox built from the style number and returns the answer.
KALOREFILL_EXPORT int mostra(QWidget* parent, const QString& testo, int stile = SoloOk,
                             const QString& titolo = {});

} // namespace KaloRefill::Messaggio
