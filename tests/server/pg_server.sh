#!/usr/bin/env bash
# A throwaway PostgreSQL server for the tests and benchmarks.
#
#   pg_server.sh start STATE   initdb into a new temporary folder, start on a free
#                              port of 127.0.0.1; STATE/url then holds the URL of its
#                              maintenance database (user postgres, trust)
#   pg_server.sh halt STATE    stop the server, keeping its data (a server gone away)
#   pg_server.sh resume STATE  start it again on the same port
#   pg_server.sh stop STATE    stop it and remove its data
#
# As root (as CI runs the tests) the server runs as the postgres user, since
# PostgreSQL refuses to run as root. The cluster is UTF8 with ICU as its locale
# provider, so text folds case for every alphabet. It skips fsync (the tests are
# not about surviving a power cut) unless QUORVEX_PG_DURABLE=1 (the benchmarks).
set -euo pipefail

command=${1:-}
state=${2:-}
if [ -z "$command" ] || [ -z "$state" ]; then
    echo "usage: $0 start|halt|resume|stop STATE_FOLDER" >&2
    exit 2
fi

bin=/usr/lib/postgresql/15/bin
if [ ! -x "$bin/pg_ctl" ]; then
    bin="$(dirname "$(command -v pg_ctl 2>/dev/null || echo /nonexistent/pg_ctl)")"
fi
if [ ! -x "$bin/pg_ctl" ]; then
    echo "pg_server.sh: PostgreSQL's server programs are not installed (bash scripts/install-deps.sh)" >&2
    exit 1
fi

# Runs a server program as the user that owns the cluster.
as_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        local quoted
        quoted="$(printf '%q ' "$@")"
        runuser -u postgres -- /bin/sh -c "$quoted"
    else
        "$@"
    fi
}

port_is_free() {
    ! (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

start_server() {
    local dir=$1 port=$2 fsync=off
    [ "${QUORVEX_PG_DURABLE:-0}" = "1" ] && fsync=on
    as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
        -o "-p $port -k $dir -c listen_addresses=127.0.0.1 -c fsync=$fsync -c max_connections=100" start >/dev/null
}

stop_server() {
    local dir=$1
    [ -f "$dir/data/postmaster.pid" ] || return 0
    as_owner "$bin/pg_ctl" -D "$dir/data" -m fast -w -t 60 stop >/dev/null || true
}

case "$command" in
start)
    # A server left over from an interrupted run goes first.
    if [ -f "$state/dir" ]; then
        old="$(cat "$state/dir")"
        stop_server "$old"
        rm -rf "$old"
    fi
    mkdir -p "$state"
    rm -f "$state/url" "$state/dir" "$state/port"
    dir="$(mktemp -d /tmp/quorvex-pg.XXXXXX)"
    chmod 755 "$dir"
    [ "$(id -u)" -eq 0 ] && chown postgres "$dir"
    as_owner "$bin/initdb" -D "$dir/data" -A trust -U postgres -E UTF8 --locale=C.UTF-8 \
        --locale-provider=icu --icu-locale=und >"$dir/initdb.log" 2>&1 || {
        cat "$dir/initdb.log" >&2
        exit 1
    }
    # One role that must give a password (the password tests), everyone else trusted.
    hba="$dir/data/pg_hba.conf"
    as_owner /bin/sh -c "printf '%s\n' 'host all password_user 127.0.0.1/32 scram-sha-256' \
        'host all all 127.0.0.1/32 trust' 'local all all trust' > '$hba'"
    started=""
    for port in $(shuf -i 20000-60000 -n 30); do
        port_is_free "$port" || continue
        if start_server "$dir" "$port"; then
            started=$port
            break
        fi
    done
    if [ -z "$started" ]; then
        cat "$dir/server.log" >&2 || true
        echo "pg_server.sh: the server did not start on any free port" >&2
        exit 1
    fi
    echo "$dir" >"$state/dir"
    echo "$started" >"$state/port"
    echo "postgresql://postgres@127.0.0.1:$started/postgres" >"$state/url"
    echo "PostgreSQL test server on 127.0.0.1:$started ($dir)"
    ;;
halt)
    stop_server "$(cat "$state/dir")"
    ;;
resume)
    start_server "$(cat "$state/dir")" "$(cat "$state/port")"
    ;;
stop)
    if [ -f "$state/dir" ]; then
        dir="$(cat "$state/dir")"
        stop_server "$dir"
        rm -rf "$dir"
    fi
    rm -f "$state/url" "$state/dir" "$state/port"
    ;;
*)
    echo "usage: $0 start|halt|resume|stop STATE_FOLDER" >&2
    exit 2
    ;;
esac
