#!/usr/bin/env bash
# Builds an optimised program and measures it on collections of 1,000, 100,000 and 1,000,000
# cards beside plain SQLite; the table goes to docs/PERFORMANCE.md.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build-release -j"$(nproc)" --target pivanes-bench pivanes-bench-jet
build-release/tools/pivanes-bench --markdown docs/PERFORMANCE.md "$@"
build-release/tools/pivanes-bench-jet >>docs/PERFORMANCE.md
