#!/usr/bin/env bash
# Builds everything and runs every test. The last line is CTest's summary.
#
# The database tests run on SQLite always, and on PostgreSQL too when a server is at
# hand: TAVEL_PG_CONNINFO when set, else a throw-away cluster of this machine
# (scripts/pg-cluster.sh, stopped again at the end).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TAVEL_BUILD_DIR:-$root/build}"
bash "$root/scripts/build.sh" -DTAVEL_BUILD_TESTS=ON
# Tests write their logs and databases into a throw-away data folder.
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
cd "$build"
# Tests against a PostgreSQL server run only when one is configured.
exclude=()
if [ -z "${TAVEL_PG_CONNINFO:-}" ]; then
    exclude=(-E '^PgSchema\.|^pg\.')
fi
# The workstation test's figures (operations, refusals, elapsed) are worth reading in
# every run, not only when it fails; the full run below includes it again.
ctest -R '^concurrency\.' --verbose 2>&1 | grep -E '^[0-9]+: ' | sed 's/^[0-9]*: /concurrency: /' || true
ctest --output-on-failure -j "$(nproc)" "${exclude[@]}"
