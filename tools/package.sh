#!/usr/bin/env bash
# Builds an optimised program and makes the Debian package in build-release/, checked.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build-release -j"$(nproc)" --target pivanes
bash tools/check-package.sh build-release build-release
