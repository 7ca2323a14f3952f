#!/bin/bash
# SPDX-FileCopyrightText: 2026 KaloRefill developers
# SPDX-License-Identifier: LGPL-3.0-or-later
# Builds the Debian packages from the build folder and checks them as Debian and a
# technician would: lintian, the desktop entry and the metainfo validators, then dpkg
# installs them into a root of their own, where the program must run and open the form
# on a fresh demo database and a host program must build against kalorefill-dev;
# finally dpkg removes them and nothing of them may be left.
#
# verifica_pacchetto.sh BUILD CONSUMATORE LAVORO VERSIONE TESTO_VERSIONE
set -euo pipefail

build=$1 consumatore=$2 lavoro=$3 versione=$4 testo_versione=$5
id=io.github.kalorefill.KaloRefill

fallisci() { echo "ERRORE: $*" >&2; exit 1; }
passo() { echo "== $*"; }

rm -rf "$lavoro"
mkdir -p "$lavoro/deb"

passo "cpack"
(cd "$lavoro/deb" && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$lavoro/deb" >cpack.log 2>&1) ||
    { cat "$lavoro/deb/cpack.log"; fallisci "cpack"; }
arch=$(dpkg --print-architecture)
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
programma=$lavoro/deb/kalorefill_${versione}_${arch}.deb
sviluppo=$lavoro/deb/kalorefill-dev_${versione}_${arch}.deb
[ -f "$programma" ] || fallisci "manca $(basename "$programma"): $(ls "$lavoro/deb")"
[ -f "$sviluppo" ] || fallisci "manca $(basename "$sviluppo")"

passo "campi di controllo"
[ "$(dpkg-deb -f "$programma" Version)" = "$versione" ] || fallisci "versione del pacchetto"
dipendenze=$(dpkg-deb -f "$programma" Depends)
echo "Depends: $dipendenze"
nomi=$(tr ',' '\n' <<<"$dipendenze" | sed 's/^ *//; s/[ (].*//')
# Read from the binaries by dpkg-shlibdeps: the C library and the Qt modules they link;
# then the Qt plugins loaded at run time (SQLite driver, SVG).
for attesa in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6sql6 libqt6printsupport6 \
        libqt6sql6-sqlite libqt6svg6; do
    grep -qx "$attesa" <<<"$nomi" || fallisci "$attesa manca tra le dipendenze: $dipendenze"
done
[[ "$(dpkg-deb -f "$sviluppo" Depends)" == *"kalorefill (= $versione)"* ]] ||
    fallisci "kalorefill-dev non dipende da questa versione di kalorefill"

passo "lintian"
lintian --fail-on error --display-info --allow-root "$programma" "$sviluppo" | tee "$lavoro/lintian.log"

passo "desktop-file-validate, appstreamcli"
mkdir "$lavoro/contenuto"
dpkg-deb -x "$programma" "$lavoro/contenuto"
desktop-file-validate "$lavoro/contenuto/usr/share/applications/$id.desktop"
appstreamcli validate --no-net --pedantic "$lavoro/contenuto/usr/share/metainfo/$id.metainfo.xml"
grep -q "<release version=\"$versione\"" "$lavoro/contenuto/usr/share/metainfo/$id.metainfo.xml" ||
    fallisci "la release del metainfo non è $versione"

passo "pagina di manuale"
# Every option the program knows is described in the man page.
pagina=$(zcat "$lavoro/contenuto/usr/share/man/man1/kalorefill.1.gz" | sed 's/\\-/-/g')
opzioni=$(env -u LD_LIBRARY_PATH "$lavoro/contenuto/usr/bin/kalorefill" --help | grep -oE '(^|[ ,[])--?[a-z][a-z-]*' | sed 's/^[ ,[]//' | sort -u)
[ -n "$opzioni" ] || fallisci "nessuna opzione in kalorefill --help"
for opzione in $opzioni; do
    grep -qE -- "(^|[^a-z-])${opzione}([^a-z-]|\$)" <<<"$pagina" ||
        fallisci "la pagina di manuale non descrive $opzione"
done

passo "dpkg -i in una radice provvisoria"
radice=$lavoro/radice
mkdir -p "$radice/var/lib/dpkg/info" "$radice/var/lib/dpkg/updates"
touch "$radice/var/lib/dpkg/status" "$radice/var/lib/dpkg/available"
# Qt and the C library are the machine's, not the root's: only those dependencies are
# forced.
dpkg_radice() {
    dpkg --root="$radice" --log=/dev/null --force-not-root --force-depends "$@"
}
dpkg_radice -i "$programma" "$sviluppo" >"$lavoro/dpkg-i.log" 2>&1 ||
    { cat "$lavoro/dpkg-i.log"; fallisci "dpkg -i"; }

for file in usr/bin/kalorefill \
        "usr/lib/$multiarch/libkalorefill.so.${versione%%.*}" \
        "usr/lib/$multiarch/libkalorefill_database.so.${versione%%.*}" \
        "usr/lib/$multiarch/kalorefill/components/KaloviaRicerca.so" \
        "usr/lib/$multiarch/kalorefill/riepilogo.so" \
        "usr/lib/$multiarch/cmake/KaloRefill/KaloRefillConfig.cmake" \
        usr/include/KaloRefill/entry/Configura.h \
        "usr/share/applications/$id.desktop" \
        "usr/share/metainfo/$id.metainfo.xml" \
        usr/share/icons/hicolor/scalable/apps/kalorefill.svg \
        usr/share/man/man1/kalorefill.1.gz \
        usr/share/doc/kalorefill/copyright \
        usr/share/doc/kalorefill-dev/copyright; do
    [ -e "$radice/$file" ] || fallisci "manca /$file dopo dpkg -i"
done
for lato in 16 24 32 48 64 128 256; do
    png=$radice/usr/share/icons/hicolor/${lato}x${lato}/apps/kalorefill.png
    file -b "$png" | grep -q "PNG image data, $lato x $lato" || fallisci "icona ${lato}x${lato}: $(file -b "$png")"
done

passo "kalorefill --version installato"
installato=$radice/usr/bin/kalorefill
uscita=$(env -u LD_LIBRARY_PATH -u KALOREFILL_COMPONENTS "$installato" --version)
[ "$uscita" = "$testo_versione" ] || fallisci "kalorefill --version ha scritto \"$uscita\", atteso $testo_versione"

passo "la finestra sul database dimostrativo"
# A home of its own, no variable of ours: asked for the demo hall (without it a first start
# opens the welcome), the program makes the demo database, opens the form and waits for the
# operator. Still running once the database is there means the
# form is up; a failure would have ended it with a line on standard error.
casa=$lavoro/casa
mkdir -p "$casa" "$lavoro/runtime"
chmod 700 "$lavoro/runtime"
demo=$casa/.local/share/kalorefill/kalorefill-demo.db
env -i PATH="$PATH" HOME="$casa" XDG_RUNTIME_DIR="$lavoro/runtime" QT_QPA_PLATFORM=offscreen \
    "$installato" --demo >"$lavoro/finestra.out" 2>"$lavoro/finestra.err" &
pid=$!
for _ in $(seq 300); do
    [ -f "$demo" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
sleep 1
if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid" && esito=0 || esito=$?
    cat "$lavoro/finestra.err" >&2
    fallisci "kalorefill installato è finito (esito $esito) invece di aprire la finestra"
fi
kill "$pid"
wait "$pid" 2>/dev/null || true
[ -s "$demo" ] || fallisci "il database dimostrativo non è stato creato in $demo"
# Qt's own notes about the offscreen platform may be there; the program's errors start
# with its name.
! grep -q '^kalorefill:' "$lavoro/finestra.err" || { cat "$lavoro/finestra.err" >&2; fallisci "kalorefill ha scritto errori"; }

# The search component is found where the installed program looks for it: the folder
# it works out from its own place, beside the libraries.
componenti=$(cd "$radice/usr/bin" && cd "../lib/$multiarch/kalorefill/components" && pwd)
[ -f "$componenti/KaloviaRicerca.so" ] || fallisci "componente di ricerca non trovato in $componenti"

passo "programma ospite contro kalorefill-dev"
cmake -S "$consumatore" -B "$lavoro/ospite" -DCMAKE_PREFIX_PATH="$radice/usr" \
    -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF -DKALOREFILL_PREFISSO_ATTESO="$radice/usr" \
    >"$lavoro/ospite.log" 2>&1 || { cat "$lavoro/ospite.log"; fallisci "configurazione dell'ospite"; }
cmake --build "$lavoro/ospite" --parallel 2 >>"$lavoro/ospite.log" 2>&1 ||
    { cat "$lavoro/ospite.log"; fallisci "compilazione dell'ospite"; }
uscita=$(env -u LD_LIBRARY_PATH QT_QPA_PLATFORM=offscreen "$lavoro/ospite/ospite")
[ "$uscita" = "$testo_versione" ] || fallisci "l'ospite ha scritto \"$uscita\""

passo "dpkg --purge"
dpkg_radice --purge kalorefill-dev kalorefill >"$lavoro/dpkg-r.log" 2>&1 ||
    { cat "$lavoro/dpkg-r.log"; fallisci "dpkg --purge"; }
rimasti=$(find "$radice" -mindepth 1 -not -path "$radice/var" -not -path "$radice/var/lib" \
    -not -path "$radice/var/lib/dpkg" -not -path "$radice/var/lib/dpkg/*")
[ -z "$rimasti" ] || fallisci "rimasto dopo la rimozione: $rimasti"
dpkg_radice -l 2>/dev/null | grep -E '^[a-z][a-z] +kalorefill' && fallisci "dpkg elenca ancora kalorefill"
echo "pacchetti verificati: $(basename "$programma") $(basename "$sviluppo")"
