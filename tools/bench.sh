#!/usr/bin/env bash
# Builds an optimised program and measures it on collections of 1,000, 100,000 and 1,000,000
# cards beside plain SQLite, then at 1,000,000 cards on a local PostgreSQL server beside plain
# PostgreSQL; the table goes to docs/PERFORMANCE.md. Then the search of titles and texts on
# 1,000,000 cards with realistic texts (about 6 GB of disk, kept in build-release/textes/ for the
# next run), on the file and on the server (whose fill with the program's import takes about half
# an hour, and 10 GB more); `bash tools/bench.sh --textes` runs that part alone and replaces its
# section.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
if [ "${1:-}" = --textes ]; then
    cmake --build build-release -j"$(nproc)" --target pivanes-bench-textes
else
    cmake --build build-release -j"$(nproc)" --target pivanes-bench pivanes-bench-jet \
        pivanes-bench-exchange pivanes-bench-textes
fi
# A throw-away server on a Unix socket of its own, stopped whatever happens.
cluster=$PWD/build-release/pg-bench
trap 'bash tools/pg-test-cluster.sh stop "$cluster"' EXIT
bash tools/pg-test-cluster.sh start "$cluster" >/dev/null
server="host=$(cat "$cluster") user=postgres"
psql -XAq -d "$server dbname=postgres" -c "CREATE DATABASE mesure"
psql -XAq -d "$server dbname=postgres" -c "CREATE DATABASE textes"
texts() {
    mkdir -p build-release/textes
    PIVANES_MODULE_DIR=$PWD/build-release build-release/tools/pivanes-bench-textes \
        --fichier build-release/textes/Pivane.mdb \
        --serveur "$server dbname=textes"
}
if [ "${1:-}" = --textes ]; then
    # The section of an earlier run goes; the new one ends the file.
    sed -i '/^# Search of titles and texts$/,$d' docs/PERFORMANCE.md
    texts | sed -n '/^# Search of titles and texts$/,$p' >>docs/PERFORMANCE.md
    exit
fi
# The program's server engine is built beside the program, not beside the benchmark.
PIVANES_MODULE_DIR=$PWD/build-release build-release/tools/pivanes-bench --markdown docs/PERFORMANCE.md --serveur "$server dbname=mesure" "$@"
build-release/tools/pivanes-bench-jet >>docs/PERFORMANCE.md
build-release/tools/pivanes-bench-exchange >>docs/PERFORMANCE.md
texts | sed -n '/^# Search of titles and texts$/,$p' >>docs/PERFORMANCE.md
