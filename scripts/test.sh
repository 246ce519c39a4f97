#!/usr/bin/env bash
# Builds everything and runs every test. The last line is CTest's summary.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TAVEL_BUILD_DIR:-$root/build}"
bash "$root/scripts/build.sh" -DTAVEL_BUILD_TESTS=ON
# Tests write their logs and databases into a throw-away data folder.
export TAVEL_DATA_DIR="$(mktemp -d)"
trap 'rm -rf "$TAVEL_DATA_DIR"' EXIT
cd "$build"
# Tests against a PostgreSQL server run only when one is configured.
exclude=()
if [ -z "${TAVEL_PG_CONNINFO:-}" ]; then
    exclude=(-E '^PgSchema\.')
fi
ctest --output-on-failure -j "$(nproc)" "${exclude[@]}"
