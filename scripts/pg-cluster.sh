#!/usr/bin/env bash
# A throw-away PostgreSQL cluster for tests on this machine.
#
#   scripts/pg-cluster.sh start [DIR]   creates and starts a cluster in DIR (a new temporary
#                                       folder when omitted); prints the connection string
#   scripts/pg-cluster.sh stop DIR      stops the cluster and removes DIR
#
# The server runs as the `postgres` system user when started by root, listens on a free
# local port and on a unix socket inside DIR only, and trusts local connections. Nothing
# outside DIR is touched. Exit status 2: no server can be started here.
set -euo pipefail

bindir="${TAVEL_PG_BINDIR:-}"
if [ -z "$bindir" ]; then
    for d in /usr/lib/postgresql/*/bin; do
        [ -x "$d/initdb" ] && bindir="$d"
    done
fi

as_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        # initdb refuses to run as root.
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

free_port() {
    python3 - <<'EOF' 2>/dev/null || echo $((20000 + RANDOM % 20000))
import socket
s = socket.socket()
s.bind(("127.0.0.1", 0))
print(s.getsockname()[1])
s.close()
EOF
}

cmd="${1:-}"
case "$cmd" in
start)
    if [ -z "$bindir" ] || [ ! -x "$bindir/initdb" ] || [ ! -x "$bindir/pg_ctl" ]; then
        echo "pg-cluster: no PostgreSQL server binaries found" >&2
        exit 2
    fi
    if [ "$(id -u)" -eq 0 ] && ! id postgres >/dev/null 2>&1; then
        echo "pg-cluster: running as root but there is no postgres user" >&2
        exit 2
    fi
    dir="${2:-$(mktemp -d /tmp/tavel-pg.XXXXXX)}"
    mkdir -p "$dir"
    if [ "$(id -u)" -eq 0 ]; then
        chown postgres: "$dir"
    fi
    chmod 700 "$dir"
    port="$(free_port)"
    as_owner "$bindir/initdb" -D "$dir/data" -U postgres -A trust -E UTF8 --no-locale \
        >"$dir/initdb.log" 2>&1 || {
        cat "$dir/initdb.log" >&2
        exit 2
    }
    # Unix socket in the cluster's folder; TCP on loopback only.
    as_owner "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
        -o "-p $port -k $dir -c listen_addresses=127.0.0.1 -c fsync=off -c max_connections=60" \
        start >/dev/null || {
        cat "$dir/server.log" >&2
        exit 2
    }
    echo "$port" >"$dir/port"
    echo "host=$dir port=$port user=postgres dbname=postgres"
    ;;
stop)
    dir="${2:?usage: pg-cluster.sh stop DIR}"
    if [ -d "$dir/data" ] && [ -n "$bindir" ]; then
        as_owner "$bindir/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null 2>&1 || true
    fi
    case "$dir" in
    /tmp/tavel-pg.*) rm -rf "$dir" ;;
    esac
    ;;
*)
    echo "usage: $0 start [DIR] | stop DIR" >&2
    exit 1
    ;;
esac
