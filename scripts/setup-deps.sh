#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the programs need, and only
# those that are missing. Safe to run again; works as root or through sudo.
set -euo pipefail

packages=(
    build-essential cmake pkg-config git
    libsqlite3-dev sqlite3
    libgtest-dev libgmock-dev libbenchmark-dev
    libpq-dev postgresql postgresql-client
    libsodium-dev
    libcsv-dev
    qt6-base-dev qt6-qpa-plugins qt6-multimedia-dev fonts-dejavu-core
    poppler-utils
    libzint-dev
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
