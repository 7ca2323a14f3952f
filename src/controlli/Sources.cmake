# SPDX-FileCopyrightText: 2026 KaloRefill developers
# SPDX-License-Identifier: LGPL-3.0-or-later
target_sources(kalorefill PRIVATE
    controlli/Pin.cpp controlli/Pin.h
    controlli/Operatori.cpp controlli/Operatori.h
    controlli/HostOperatore.h
    controlli/DlgPin.cpp controlli/DlgPin.h
    controlli/ControlliRefill.cpp controlli/ControlliRefill.h)
