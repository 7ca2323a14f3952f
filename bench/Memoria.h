// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

// Peak memory, in kilobytes, as the kernel counts it.
namespace Memoria {

// This process's peak resident set since it started.
long piccoProcesso();
// The largest peak of the child processes that have ended and been waited for.
long piccoFigli();

} // namespace Memoria
