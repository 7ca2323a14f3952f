# SPDX-FileCopyrightText: 2026 KaloRefill developers
# SPDX-License-Identifier: LGPL-3.0-or-later
target_sources(kalorefill PRIVATE
    search/AzioniRicerca.h search/ComponenteRicerca.h
    search/DataRisposta.cpp search/DataRisposta.h
    search/RicercaRefill.cpp search/RicercaRefill.h)
