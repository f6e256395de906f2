#!/usr/bin/env bash
# Checks the formatting of every source, then runs clang-tidy over the program, its tools and its
# tests with the compile commands of a finished build (default build-test). Sources found clean
# before with the same inputs are not checked again (see tools/lint/clang_tidy_cached.py).
#   bash tools/lint.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
clang-format --dry-run --Werror "${sources[@]}"
echo "Mise en forme : ${#sources[@]} fichiers conformes."
python3 tools/lint/clang_tidy_cached.py "${1:-build-test}"
