#!/usr/bin/env bash
# A throw-away PostgreSQL cluster for the tests: pg-cluster.sh start DIR | stop DIR, and
# halt DIR | resume DIR to stop its server (its sessions cut off, their open transactions
# rolled back) and start it again on the same data, for a test of a server that goes away. Not
# an immediate stop: without synchronous commits that loses commits the clients were told of.
# The server listens only on a Unix socket in DIR, trusts local connections and runs as an
# unprivileged user (it refuses to run as root). When that user cannot reach DIR (a build folder
# in a private home), the cluster lives in a folder of its own under /tmp, named in DIR/home. start writes the connection URI to DIR/uri;
# without a PostgreSQL installation it writes DIR/absent with the reason and succeeds, so the
# tests that need the server skip and say why.
set -euo pipefail

usage="usage: pg-cluster.sh start|stop|halt|resume DIR"
action=${1:?$usage}
dir=$(realpath -m "${2:?$usage}")
# Where the cluster lives: DIR, or the folder DIR/home names.
home=$dir
[ -f "$dir/home" ] && home=$(cat "$dir/home")
data=$home/data

bindir() {
    local found
    found=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)
    [ -n "$found" ] && [ -x "$found/initdb" ] && [ -x "$found/pg_ctl" ] && echo "$found"
}

# Runs a server program as the cluster's owner.
as_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u "$owner" -- "$@"
    else
        "$@"
    fi
}

pick_owner() {
    owner=$(id -un)
    [ "$(id -u)" -ne 0 ] && return 0
    owner=telvane-pgtest
    id -u "$owner" >/dev/null 2>&1 ||
        useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$owner"
}

stop_cluster() {
    local bin
    bin=$(bindir) || return 0
    [ -f "$data/postmaster.pid" ] || return 0
    pick_owner
    as_owner "$bin/pg_ctl" -D "$data" -m immediate -w stop >/dev/null 2>&1 || true
    [ "$home" != "$dir" ] && rm -rf "$home"
    return 0
}

# Only the socket in the cluster's folder, no TCP; throw-away data: no fsync.
start_server() {
    as_owner "$bin/pg_ctl" -D "$data" -l "$home/server.log" -w -t 60 \
        -o "-c listen_addresses='' -k '$home' -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200" \
        start >/dev/null || { cat "$home/server.log" >&2; exit 1; }
}

case $action in
start)
    stop_cluster
    rm -rf "$dir"
    mkdir -p "$dir"
    if ! bin=$(bindir); then
        echo "no initdb/pg_ctl under /usr/lib/postgresql/*/bin (scripts/deps.sh installs them)" \
            >"$dir/absent"
        echo "PostgreSQL is not installed: the PostgreSQL tests will be skipped"
        exit 0
    fi
    pick_owner
    chown "$owner" "$dir"
    # The owner must reach DIR through the folders above it; else a folder of its own.
    home=$dir
    if ! as_owner test -w "$dir"; then
        home=$(mktemp -d /tmp/telvane-pg.XXXXXX)
        chown "$owner" "$home"
        echo "$home" >"$dir/home"
    fi
    data=$home/data
    as_owner "$bin/initdb" -D "$data" -U telvane -A trust -E UTF8 --locale=C.UTF-8 \
        --no-sync >"$home/initdb.log" 2>&1 || { cat "$home/initdb.log" >&2; exit 1; }
    start_server
    # libpq takes a socket folder as host; the path is percent-encoded.
    encoded=$(printf '%s' "$home" | sed 's,%,%25,g; s,/,%2F,g; s, ,%20,g')
    echo "postgresql://telvane@$encoded/postgres" >"$dir/uri"
    echo "PostgreSQL test cluster on $home"
    ;;
stop)
    stop_cluster
    # No URI of a server that is gone: a test run by hand then skips and says why.
    rm -f "$dir/uri"
    ;;
halt | resume)
    bin=$(bindir) || { echo "PostgreSQL is not installed" >&2; exit 1; }
    pick_owner
    if [ "$action" = halt ]; then
        as_owner "$bin/pg_ctl" -D "$data" -m fast -w stop >/dev/null
    else
        start_server
    fi
    ;;
*)
    echo "$usage" >&2
    exit 2
    ;;
esac
