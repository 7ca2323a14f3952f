#!/bin/sh
# SPDX-FileCopyrightText: 2026 KaloRefill developers
# SPDX-License-Identifier: LGPL-3.0-or-later
# Lines of code of the program and of its tests: C++ sources and headers, blank lines and
# comments left out; bench/ and the packaging checks (packaging/, tests/packaging/: a host
# program built against the installed package) are counted apart from both.
#   tests/conta_righe.sh
cd "$(dirname "$0")/.." || exit 2
conta() {
    find "$@" -type f \( -name '*.cpp' -o -name '*.h' \) -print0 2>/dev/null |
        xargs -0 cat | awk '
            { riga = $0 }
            dentro { if (riga ~ /\*\//) { sub(/.*\*\//, "", riga); dentro = 0 } else next }
            { gsub(/\/\*.*\*\//, "", riga) }
            riga ~ /\/\*/ { sub(/\/\*.*/, "", riga); dentro = 1 }
            { sub(/^[ \t]+/, "", riga) }
            riga == "" || riga ~ /^\/\// { next }
            { n++ }
            END { print n + 0 }'
}
programma=$(conta src platform app)
pacchetto=$(conta packaging tests/packaging)
prove=$(( $(conta tests) - $(conta tests/packaging) ))
banco=$(conta bench)
echo "programma (src, platform, app): $programma"
echo "test (tests):                   $prove"
echo "banco di prova (bench):         $banco"
echo "pacchetto (packaging):          $pacchetto"
awk -v p="$programma" -v t="$prove" 'BEGIN { printf "test / programma:               %.0f%%\n", 100 * t / p }'
