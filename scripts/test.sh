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
source "$root/scripts/test-env.sh"
cd "$build"
# The workstation test's figures (operations, refusals, elapsed) are worth reading in
# every run, not only when it fails; the full run below includes it again.
ctest -R '^concurrency\.' --verbose 2>&1 | grep -E '^[0-9]+: ' | sed 's/^[0-9]*: /concurrency: /' || true
ctest --output-on-failure -j "$(nproc)" "${exclude[@]}"
