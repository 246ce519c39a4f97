#!/usr/bin/env bash
# Builds the programs and starts the desktop host on the demo database, signed in as the
# demo user. The database is created with the schema and demo data the first time.
# Without a display the host runs its self-test instead.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TAVEL_BUILD_DIR:-$root/build}"
bash "$root/scripts/build.sh" -DTAVEL_BUILD_TESTS=OFF
data="${TAVEL_DATA_DIR:-${XDG_DATA_HOME:-$HOME/.local/share}/tavel}"
mkdir -p "$data"
db="$data/demo.db"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display (DISPLAY and WAYLAND_DISPLAY are empty): running tavel --self-test."
    exec "$build/bin/tavel" --db "$db" --self-test
fi
# The demo user's password, handed over in a file so that it never shows in ps.
secret="$(mktemp)"
trap 'rm -f "$secret"' EXIT
printf '%s\n' "tavel-demo" > "$secret"
"$build/bin/tavel" --db "$db" --user admin --password-file "$secret"
