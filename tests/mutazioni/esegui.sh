#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 KaloRefill developers
# SPDX-License-Identifier: LGPL-3.0-or-later
# Mutation run: each mutant of mutanti.tsv is applied to a copy of the sources, built, and
# the tests named for it are run. A mutant the tests catch is "ucciso"; one they miss is
# "sopravvissuto" and points at a fault the suite would let through. Not part of make test.
#
#   esegui.sh [FILE_MUTANTI] [FILTRO]
#
# FILE_MUTANTI defaults to mutanti.tsv beside this script; FILTRO, when given, keeps only
# the mutants whose file matches it (an extended regular expression). The copy lives in $MUTAZIONI_DIR (default
# /tmp/kalorefill-mutazioni) with its build in build/ as in the sources, so a compiler cache
# serves both; it is kept between runs so the next run builds only what changed. The report
# goes to standard output and to build/rapporto-mutazioni.txt there; the exit code is 1 when
# fewer than 90% are killed.
set -uo pipefail

radice=$(cd "$(dirname "$0")/../.." && pwd)
elenco=${1:-$radice/tests/mutazioni/mutanti.tsv}
filtro=${2:-}
lavoro=${MUTAZIONI_DIR:-/tmp/kalorefill-mutazioni}
copia=$lavoro
build=$lavoro/build
rapporto=$build/rapporto-mutazioni.txt
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}
export QT_QPA_PLATFORM=offscreen

mkdir -p "$build"
# Only the files whose content differs are copied (and so get a new time): a second run
# rebuilds what changed since, whatever the times the sources carry.
(cd "$radice" && find . \( -path ./build -o -path ./.git \) -prune -o -type f ! -name '*.deb' -print) |
    while IFS= read -r f; do
        if ! cmp -s "$radice/$f" "$copia/$f"; then
            mkdir -p "$copia/$(dirname "$f")" && cp "$radice/$f" "$copia/$f"
        fi
    done

# Files gone from the sources (moved or deleted) go from the copy too, or an old header
# there would still be found first.
(cd "$copia" && find . \( -path ./build -o -path ./.git \) -prune -o -type f -print) |
    while IFS= read -r f; do
        [ -e "$radice/$f" ] || rm -f "$copia/$f"
    done

echo "== configurazione e build della copia in $build"
# The same options as the build of `make`, so a compiler cache serves both.
cmake -S "$copia" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKALOREFILL_WERROR=ON \
    -DKALOREFILL_TEST_PGSQL=ON -DCMAKE_LINK_DEPENDS_NO_SHARED=ON >"$build/configura.log" 2>&1 ||
    { echo "configurazione non riuscita: $build/configura.log" >&2; exit 2; }
cmake --build "$build" -j "$jobs" >"$build/build.log" 2>&1 ||
    { echo "la copia senza mutanti non compila: $build/build.log" >&2; exit 2; }

# Lines of the list: file <TAB> text before <TAB> text after <TAB> ctest regex; no field is
# empty (a removed line is replaced by a comment).
# "\t" in a text stands for a tab and "\n" for a new line; lines starting with # and blank
# lines are skipped.
mapfile -t righe < <(grep -v '^[[:space:]]*#' "$elenco" | grep -v '^[[:space:]]*$' |
    awk -F'\t' -v filtro="$filtro" 'filtro == "" || $1 ~ filtro')

esegui_test() {
    (cd "$build" && timeout 900 ctest -R "$1" --stop-on-failure --timeout 300 \
        >"$build/ctest-mutazioni.log" 2>&1)
}

# Every test the list names must pass on the sources as they are: a red baseline would make
# every mutant look killed.
regex_tutti=$(printf '%s\n' "${righe[@]}" | awk -F'\t' '{print $4}' | sort -u | paste -sd'|')
echo "== test senza mutanti: $regex_tutti"
if ! esegui_test "$regex_tutti"; then
    echo "i test falliscono già senza mutanti: $build/ctest-mutazioni.log" >&2
    exit 2
fi

applica() { # file prima dopo -> "RIGA n" when applied, "TROVATO n" when the text is there n != 1 times
    [ -f "$1" ] || { echo "TROVATO file"; return; }
    PRIMA=$2 DOPO=$3 perl -0777 -i -pe '
        BEGIN { $p = $ENV{PRIMA}; $d = $ENV{DOPO}; for ($p, $d) { s/\\t/\t/g; s/\\n/\n/g; } }
        $n = () = /\Q$p\E/g;
        if ($n == 1) { /\Q$p\E/; $riga = 1 + (substr($_, 0, $-[0]) =~ tr/\n//);
                       s/\Q$p\E/$d/; print STDERR "RIGA $riga\n"; }
        else { print STDERR "TROVATO $n\n"; }' "$1" 2>&1 | grep -E '^(RIGA|TROVATO) '
}

uccisi=0; sopravvissuti=0; non_validi=0; n=0
: >"$rapporto"
riporta() { printf '%s\n' "$1" | tee -a "$rapporto"; }
riporta "n | file:riga | prima -> dopo | esito"
for riga in "${righe[@]}"; do
    IFS=$'\t' read -r file prima dopo regex <<<"$riga"
    n=$((n + 1))
    originale=$(mktemp)
    cp "$copia/$file" "$originale" 2>/dev/null
    applicato=$(applica "$copia/$file" "$prima" "$dopo")
    numero=${applicato#RIGA }
    [ "$numero" = "$applicato" ] && numero=
    if [ "$applicato" = "TROVATO file" ]; then
        esito="NON APPLICABILE: file assente (spostato? aggiornare la riga)"; non_validi=$((non_validi + 1))
    elif [ "$applicato" = "TROVATO 0" ] || [ -z "$applicato" ]; then
        esito="NON APPLICABILE: testo prima non trovato (codice cambiato? aggiornare la riga)"; non_validi=$((non_validi + 1))
    elif [ -z "$numero" ]; then
        esito="NON APPLICABILE: testo prima trovato ${applicato#TROVATO } volte, deve essere unico"; non_validi=$((non_validi + 1))
    elif ! cmake --build "$build" -j "$jobs" >"$build/build.log" 2>&1; then
        esito="NON COMPILA"; non_validi=$((non_validi + 1))
    elif esegui_test "$regex"; then
        esito="SOPRAVVISSUTO ($regex)"; sopravvissuti=$((sopravvissuti + 1))
    else
        ucciso_da=$(grep -m1 -oE '[0-9]+ - [A-Za-z0-9_]+ \(Failed|Timeout|SEGFAULT|Subprocess' "$build/ctest-mutazioni.log" | head -1)
        esito="ucciso ${ucciso_da:+($ucciso_da)}"; uccisi=$((uccisi + 1))
    fi
    [ -s "$originale" ] && cp "$originale" "$copia/$file"; rm -f "$originale"
    riporta "$n | $file:${numero:-?} | $prima -> $dopo | $esito"
done
# Leave the build matching the sources for the next run.
cmake --build "$build" -j "$jobs" >"$build/build.log" 2>&1
# A run stopped at its first failure skips the fixtures' clean-up, so the last servers the
# tests started are still running (each start stops the one before it): stopped here.
(cd "$build" && ctest -R '^pg_(server_)?arresto$' >/dev/null 2>&1)

validi=$((uccisi + sopravvissuti))
percentuale=0
[ "$validi" -gt 0 ] && percentuale=$((100 * uccisi / validi))
riporta "mutanti: $n, validi: $validi, uccisi: $uccisi, sopravvissuti: $sopravvissuti, non validi: $non_validi, uccisi: $percentuale%"
[ "$validi" -gt 0 ] && [ "$percentuale" -ge 90 ]
