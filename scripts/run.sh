#!/usr/bin/env bash
# Builds the programs and opens the embedded default database in the data folder,
# creating it with the schema and demo data the first time.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TAVEL_BUILD_DIR:-$root/build}"
bash "$root/scripts/build.sh" -DTAVEL_BUILD_TESTS=OFF
data="${TAVEL_DATA_DIR:-${XDG_DATA_HOME:-$HOME/.local/share}/tavel}"
mkdir -p "$data"
db="$data/tavel.db"
if [ ! -f "$db" ]; then
    "$build/bin/invctl" --db "$db" init --demo
fi
"$build/bin/invctl" --db "$db" check-schema
echo "Inventory locations in $db:"
"$build/bin/invctl" --db "$db" sql 'SELECT "InvLoc", "Name", "Type" FROM INVLOC ORDER BY "InvLoc"'
