# Sourced by the scripts that run the test suite (test.sh, sanitize.sh), with $root set.
# Tests write their logs and databases into a throw-away data folder. The database tests
# run on SQLite always, and on PostgreSQL too when a server is at hand: TAVEL_PG_CONNINFO
# when set, else a throw-away cluster of this machine (scripts/pg-cluster.sh, stopped
# again when the script exits). Leaves in `exclude` the ctest arguments that leave out
# the PostgreSQL tests when there is no server.
export TAVEL_DATA_DIR="$(mktemp -d)"
cluster=""
cleanup() {
    if [ -n "$cluster" ]; then
        bash "$root/scripts/pg-cluster.sh" stop "$cluster" || true
    fi
    rm -rf "$TAVEL_DATA_DIR"
}
trap cleanup EXIT
if [ -z "${TAVEL_PG_CONNINFO:-}" ]; then
    cluster="$(mktemp -d /tmp/tavel-pg.XXXXXX)"
    if conninfo="$(bash "$root/scripts/pg-cluster.sh" start "$cluster")"; then
        export TAVEL_PG_CONNINFO="$conninfo"
        echo "PostgreSQL: throw-away cluster at $conninfo"
    else
        rm -rf "$cluster"
        cluster=""
        echo "PostgreSQL: no server could be started here; the tests run on SQLite only"
    fi
fi
exclude=()
if [ -z "${TAVEL_PG_CONNINFO:-}" ]; then
    exclude=(-E '^PgSchema\.|^pg\.')
fi
