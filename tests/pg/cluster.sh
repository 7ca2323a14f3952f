#!/bin/sh
# SPDX-FileCopyrightText: 2026 KaloRefill developers
# SPDX-License-Identifier: LGPL-3.0-or-later
# A throwaway PostgreSQL server for the tests: its own cluster in a short folder under
# /tmp, reachable only through a Unix socket in that folder, owned by an unprivileged
# user (initdb refuses root). Each run stops the previous one named in the state file.
#
#   cluster.sh start STATE_DIR [durable]
#                                writes STATE_DIR/pg.uri (postgresql://tester@/kalorefill?host=...);
#                                "durable": a commit is on disk before it is confirmed, so a
#                                server stopped dead loses none (the others are faster)
#   cluster.sh stop  STATE_DIR   stops the server and removes its folder
#   cluster.sh crash STATE_DIR   stops the server at once, as a power cut would (-m immediate)
#   cluster.sh resume STATE_DIR  starts it again on the same folder after a crash
set -u

azione=${1:-}
stato=${2:-}
if [ -z "$azione" ] || [ -z "$stato" ]; then
    echo "uso: $0 start|stop CARTELLA_STATO" >&2
    exit 2
fi
mkdir -p "$stato"
file_cartella="$stato/pg.dir"
file_uri="$stato/pg.uri"
porta=54329

bin_pg() {
    ls -v /usr/lib/postgresql/*/bin/pg_ctl 2>/dev/null | tail -n 1 | xargs -r dirname
}

# The server runs as a user that is not root: postgres when it exists, nobody otherwise.
proprietario() {
    if [ "$(id -u)" -ne 0 ]; then
        id -un
    elif getent passwd postgres >/dev/null 2>&1; then
        echo postgres
    else
        echo nobody
    fi
}

come() {
    utente=$1
    shift
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u "$utente" -- "$@"
    else
        "$@"
    fi
}

ferma() {
    [ -f "$file_cartella" ] || return 0
    cartella=$(cat "$file_cartella")
    rm -f "$file_uri"
    if [ -d "$cartella/data" ]; then
        bin=$(bin_pg)
        utente=$(stat -c %U "$cartella/data")
        come "$utente" "$bin/pg_ctl" -D "$cartella/data" -m fast -w -t 20 stop >/dev/null 2>&1 ||
            come "$utente" "$bin/pg_ctl" -D "$cartella/data" -m immediate -w -t 10 stop >/dev/null 2>&1 ||
            { [ -f "$cartella/data/postmaster.pid" ] &&
                kill -9 "$(head -n 1 "$cartella/data/postmaster.pid")" 2>/dev/null; }
    fi
    case "$cartella" in
    /tmp/krpg.*) rm -rf "$cartella" ;;
    esac
    rm -f "$file_cartella"
}

parti() {
    commit=off
    [ -f "$1/durevole" ] && commit=on
    come "$2" "$(bin_pg)/pg_ctl" -D "$1/data" -l "$1/log" -w -t 30 \
        -o "-k $1 -c listen_addresses='' -p $porta -c fsync=off -c synchronous_commit=$commit -c full_page_writes=off -c max_connections=60" \
        start >/dev/null
}

# The server of a running cluster stopped without any shutdown, then started again.
crolla() {
    cartella=$(cat "$file_cartella") || exit 1
    come "$(stat -c %U "$cartella/data")" "$(bin_pg)/pg_ctl" -D "$cartella/data" -m immediate -w -t 20 stop >/dev/null
}

riprendi() {
    cartella=$(cat "$file_cartella") || exit 1
    parti "$cartella" "$(stat -c %U "$cartella/data")"
}

avvia() {
    ferma
    bin=$(bin_pg)
    if [ -z "$bin" ] || [ ! -x "$bin/initdb" ]; then
        echo "PostgreSQL non è installato (manca initdb in /usr/lib/postgresql/*/bin)." >&2
        exit 1
    fi
    utente=$(proprietario)
    # Short: the socket path must fit in sun_path.
    cartella=$(mktemp -d /tmp/krpg.XXXXXX)
    echo "$cartella" >"$file_cartella"
    chmod 755 "$cartella"
    [ "$(id -u)" -eq 0 ] && chown "$utente" "$cartella"
    trap 'echo "Avvio di PostgreSQL non riuscito; registro:" >&2; cat "$cartella/log" >&2 2>/dev/null; ferma; exit 1' EXIT
    come "$utente" "$bin/initdb" -D "$cartella/data" -U tester -A trust --no-sync -E UTF8 \
        --locale=C.UTF-8 >"$cartella/initdb.log" 2>&1 || { cat "$cartella/initdb.log" >&2; exit 1; }
    [ "${3:-}" = durable ] && touch "$cartella/durevole"
    parti "$cartella" "$utente" || exit 1
    "$bin/psql" -X -q -h "$cartella" -p "$porta" -U tester -d postgres \
        -c "CREATE DATABASE kalorefill" || exit 1
    trap - EXIT
    echo "postgresql://tester@/kalorefill?host=$cartella&port=$porta" >"$file_uri"
    echo "PostgreSQL pronto in $cartella (porta $porta)"
}

case "$azione" in
start) avvia "$@" ;;
stop) ferma ;;
crash) crolla ;;
resume) riprendi ;;
*)
    echo "azione sconosciuta: $azione" >&2
    exit 2
    ;;
esac
