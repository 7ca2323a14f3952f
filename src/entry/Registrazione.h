// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

// How the host knows this library, kept for the Windows component registration.
namespace KaloRefill::Registrazione {
inline constexpr const char* nomeClasse = "KaloRefill.Configura";
inline constexpr const char* libreriaTipi = "{6974949A-C264-4A65-9F60-3F148288CFB2}";
inline constexpr int libreriaTipiMajor = 1;
inline constexpr int libreriaTipiMinor = 0;
inline constexpr const char* classeConfigura = "{FD684252-67DD-43D5-8EF8-6EB817CC74C1}";
inline constexpr const char* interfacciaConfigura = "{878EC9C5-40B9-4C5C-A375-C7B508C2C85D}";
} // namespace KaloRefill::Registrazione
