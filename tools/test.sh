#!/usr/bin/env bash
# Installs what is missing, builds the program, its tools and its tests once, with AddressSanitizer
# (leaks included) and UndefinedBehaviorSanitizer, checks the formatting of every source and runs
# clang-tidy over what the changes touch, builds the program as it is packaged (without the
# sanitizers), and runs every test. Each step says which it is, N of M, and how long it took; a
# step is one function and one line of the table below.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/builds.sh

install_packages() { bash tools/install-deps.sh; }
lint_changes() { bash tools/lint.sh --changed "$TEST_BUILD"; }
# The libraries' own leaks are listed in tests/lsan-suppressions.txt; ours are not.
run_tests() {
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        LSAN_OPTIONS="suppressions=$PWD/tests/lsan-suppressions.txt:print_suppressions=0" \
        ctest --test-dir "$TEST_BUILD" --output-on-failure -j"$(nproc)"
}

steps=(
    "install_packages Paquets nécessaires"
    "build_for_tests  Construction du programme et des tests, avec les sanitizers"
    "lint_changes     Mise en forme, et clang-tidy sur ce qui a changé"
    "build_package    Construction du programme tel qu'il est empaqueté"
    "run_tests        Tests"
)
for i in "${!steps[@]}"; do
    read -r step title <<<"${steps[i]}"
    printf '\n=== Étape %d sur %d : %s ===\n' $((i + 1)) ${#steps[@]} "$title"
    started=$SECONDS
    "$step"
    elapsed=$((SECONDS - started))
    printf '=== %s : fait en %d min %02d s ===\n' "$title" $((elapsed / 60)) $((elapsed % 60))
done
