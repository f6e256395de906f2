#!/usr/bin/env bash
# Pictures every window of the program on the demo collection, under a virtual screen, into
# docs/guide/images/ for the user guide. Run it again when a window changes.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build -j"$(nproc)" --target pivanes-screens
LANG=C.UTF-8 QT_QPA_PLATFORM=xcb xvfb-run -a -s '-screen 0 1024x768x24' \
    build/tools/pivanes-screens docs/guide/images
