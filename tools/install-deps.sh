#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, when some are missing.
set -euo pipefail
packages=(cmake g++ make ninja-build ccache lld pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev libsqlite3-dev
          sqlite3 fonts-liberation fonts-comic-neue qt6-translations-l10n poppler-utils xvfb
          xauth imagemagick mdbtools-dev mdbtools desktop-file-utils appstream man-db libxml2-utils
          file dpkg-dev lintian cups printer-driver-cups-pdf clang-format clang-tidy python3
          xdg-utils libpq-dev postgresql postgresql-contrib)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installation de : ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
