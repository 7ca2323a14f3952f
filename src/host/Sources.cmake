# SPDX-FileCopyrightText: 2026 KaloRefill developers
# SPDX-License-Identifier: LGPL-3.0-or-later
target_sources(kalorefill PRIVATE
    host/Errore.cpp host/Errore.h
    host/Valuta.cpp host/Valuta.h
    host/Recordset.h host/HostApplication.h host/UnitaDiLavoro.h
    host/SqlTesti.cpp host/SqlTesti.h)
