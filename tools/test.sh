#!/usr/bin/env bash
# Installs what is missing, builds, checks the sources with clang-format and clang-tidy, and runs
# every test: once as is, once under AddressSanitizer (leaks included) and
# UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
# Ninja schedules the many small test targets better than make, and rechecks nothing twice.
export CMAKE_GENERATOR=${CMAKE_GENERATOR:-Ninja}
build() {
    local dir=$1; shift
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)"
}
run_tests() {
    (cd "$1" && ctest --output-on-failure -j"$(nproc)")
}
build build-test
# The lint reads the build's compile commands and dependency files.
bash tools/lint.sh build-test
run_tests build-test
build build-asan -DPIVANES_SANITIZE=ON
# The libraries' own leaks are listed in tests/lsan-suppressions.txt; ours are not.
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    LSAN_OPTIONS="suppressions=$PWD/tests/lsan-suppressions.txt:print_suppressions=0" \
    run_tests build-asan
