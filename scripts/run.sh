#!/usr/bin/env bash
# Builds the desktop host and starts it on the demo database, signed in as the demo user.
# The database is created with the schema and demo data the first time.
# Without a display the host runs its self-test instead.
#   TAVEL_BUILD_DIR  build folder (default ./build)
#   TAVEL_DATA_DIR   data folder: database, profile, logs, self-test output
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TAVEL_BUILD_DIR:-$root/build}"
bash "$root/scripts/setup-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# The host only: it brings the module it loads along.
cmake --build "$build" -j "$(nproc)" --target tavel
# The host keeps its profile and logs where the database is.
export TAVEL_DATA_DIR="${TAVEL_DATA_DIR:-${XDG_DATA_HOME:-$HOME/.local/share}/tavel}"
mkdir -p "$TAVEL_DATA_DIR"
db="$TAVEL_DATA_DIR/demo.db"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display (DISPLAY and WAYLAND_DISPLAY are empty): running tavel --self-test."
    exec "$build/bin/tavel" --db "$db" --self-test
fi
# The demo user's password, handed over in a file so that it never shows in ps.
secret="$(mktemp)"
trap 'rm -f "$secret"' EXIT
printf '%s\n' "tavel-demo" > "$secret"
"$build/bin/tavel" --db "$db" --user admin --password-file "$secret"
