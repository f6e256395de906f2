#!/usr/bin/env bash
# Checks the formatting of every source, then runs clang-tidy with the compile commands of a build
# (default build-test, the test build, made or brought up to date first) over every source of the
# program, its tools and its tests; with --changed, only over the sources that the changes since
# the main line touch (see tools/lint/clang_tidy_cached.py). Sources found clean before with the
# same inputs are not checked again.
#   bash tools/lint.sh [--changed] [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/builds.sh
changed=()
if [ "${1:-}" = "--changed" ]; then
    changed=(--changed)
    shift
fi
build=${1:-$TEST_BUILD}
# New sources are checked before they are added.
mapfile -t sources < <(git ls-files --cached --others --exclude-standard '*.cpp' '*.h')
clang-format --dry-run --Werror "${sources[@]}"
echo "Mise en forme : ${#sources[@]} fichiers conformes."
# clang-tidy reads the build's compile commands, generated sources and dependency records.
if [ -f "$build/CMakeCache.txt" ]; then
    cmake --build "$build" -j"$(nproc)"
else
    build_for_tests "$build"
fi
python3 tools/lint/clang_tidy_cached.py "${changed[@]}" "$build"
