#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need,
# only those that are missing. Uses sudo when not run as root.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config ccache
    qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libgl-dev
    libsqlite3-dev sqlite3
    libzip-dev libxlsxwriter-dev libreoffice-calc-nogui
    libqt6sql6-psql libpq-dev postgresql
    qt6-multimedia-dev gstreamer1.0-plugins-base gstreamer1.0-plugins-good
    libgstreamer1.0-dev libjpeg-turbo-progs
    libqrencode-dev
    libbenchmark-dev
    xvfb xauth xdotool x11-utils
    fonts-dejavu-core
    cups printer-driver-cups-pdf poppler-utils zbar-tools
)
if [ "${1:-}" = "--run-only" ]; then
    packages=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools
              libqt6sql6-sqlite libqt6sql6-psql libpq-dev libgl-dev libsqlite3-dev libzip-dev libxlsxwriter-dev
              fonts-dejavu-core qt6-multimedia-dev gstreamer1.0-plugins-base gstreamer1.0-plugins-good
              libqrencode-dev)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
