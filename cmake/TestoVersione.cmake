# SPDX-FileCopyrightText: 2026 KaloRefill developers
# SPDX-License-Identifier: LGPL-3.0-or-later
# The version text a user sees ("2.000.023"), worked out here from the project version
# on its own, so tests compare the program's answer with something it did not compute.
function(kalorefill_testo_versione variabile)
    set(minore "000${PROJECT_VERSION_MINOR}")
    set(revisione "000${PROJECT_VERSION_PATCH}")
    string(LENGTH "${minore}" lm)
    string(LENGTH "${revisione}" lr)
    math(EXPR dm "${lm} - 3")
    math(EXPR dr "${lr} - 3")
    string(SUBSTRING "${minore}" ${dm} 3 minore)
    string(SUBSTRING "${revisione}" ${dr} 3 revisione)
    set(${variabile} "${PROJECT_VERSION_MAJOR}.${minore}.${revisione}" PARENT_SCOPE)
endfunction()
