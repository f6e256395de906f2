#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program on the demo collection in demo/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build -j"$(nproc)" --target pivanes pivanes-collection
mkdir -p demo
[ -f demo/Pivane.mdb ] || build/tools/pivanes-collection demo demo/Pivane.mdb
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Pas d'écran ici : lancez « xvfb-run -a -s '-screen 0 1024x768x24' bash tools/demo.sh » pour un écran virtuel, ou ce script depuis un bureau."
    exit 0
fi
exec build/pivanes demo
