# SPDX-FileCopyrightText: 2026 KaloRefill developers
# SPDX-License-Identifier: LGPL-3.0-or-later
target_sources(kalorefill PRIVATE
    entry/FileConfigurazione.cpp entry/FileConfigurazione.h
    entry/Configura.cpp entry/Configura.h
    entry/StatoModulo.cpp entry/StatoModulo.h
    entry/Registrazione.h)
