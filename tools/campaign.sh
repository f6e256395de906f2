#!/usr/bin/env bash
# Builds the program with AddressSanitizer and UndefinedBehaviorSanitizer and runs the fault
# campaign: kills during writes, bad files, two processes on one folder. Without arguments it runs
# the whole campaign (about 20 minutes) and writes docs/RELIABILITY.md; arguments go to
# pivanes-campaign (--short, --seed S, --replay ..., --report FILE, --work DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DPIVANES_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$(nproc)" --target pivanes-campaign
arguments=("$@")
if [ $# -eq 0 ]; then
    arguments=(--report docs/RELIABILITY.md)
fi
commit=$(git rev-parse --short HEAD 2>/dev/null || echo unknown)
LANG=C.UTF-8 LC_ALL=C.UTF-8 build-asan/tools/campaign/pivanes-campaign --commit "$commit" \
    "${arguments[@]}"
