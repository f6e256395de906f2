#!/usr/bin/env bash
# How far one PostgreSQL server carries a shared collection: a throw-away local server is filled
# with CARDS cards through the program's own import, then programs are simulated by pgbench, whose
# clients are bounded in count and in time and talk only to the server's Unix socket, with the
# program's own statements (tools/load/*.sql). Prints the figures that docs/SCALING.md gives.
#   bash tools/scaling.sh [CARDS] [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
cards=${1:-1000000}
seconds=${2:-20}
bash tools/install-deps.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build-release -j"$(nproc)" --target pivanes pivanes-collection
cluster=$PWD/build-release/pg-scaling
work=$(mktemp -d)
trap 'bash tools/pg-test-cluster.sh stop "$cluster"; rm -rf "$work"' EXIT
bash tools/pg-test-cluster.sh start "$cluster" >/dev/null
host=$(cat "$cluster")
server="host=$host user=postgres dbname=charge"
psql -XAq -d "host=$host user=postgres dbname=postgres" -c "CREATE DATABASE charge"
echo "Charge : $(nproc) cœurs, $(cut -d' ' -f1-3 /proc/loadavg) avant ; $(psql -XAt -d "$server" -c 'SHOW server_version')"

build-release/tools/pivanes-collection synthetic "$cards" "$work/Pivane.mdb" >/dev/null
start=$(date +%s%N)
build-release/pivanes --serveur "$server" --importer "$work/Pivane.mdb"
echo "Importation de $cards fiches : $(( ($(date +%s%N) - start) / 1000000 )) ms"
psql -XAq -d "$server" -c "VACUUM (ANALYZE)"
psql -XA -F ' | ' -d "$server" -c "SELECT pg_size_pretty(pg_database_size('charge')) AS base,
    pg_size_pretty(pg_total_relation_size('trucpivane')) AS trucpivane,
    pg_size_pretty(pg_total_relation_size('trucpivane_titres')) AS titres,
    pg_size_pretty(pg_relation_size('trucpivane_titres_trigrammes')) AS trigrammes,
    current_setting('max_connections') AS connexions"

pgbench=$(pg_config --bindir)/pgbench
# One action of a user: 80 % browsing, 15 % searching, 5 % writing (one new card, one edit).
mix=(-f tools/load/parcourir.sql@80 -f tools/load/chercher.sql@15 -f tools/load/ecrire.sql@5)
run() {
    local label=$1 clients=$2
    shift 2
    echo "== $label, $clients programme(s), ${seconds} s"
    "$pgbench" -n -h "$host" -U postgres -c "$clients" -j 2 -T "$seconds" -D cartes="$cards" \
        "$@" charge 2>&1 | grep -E "^(tps|latency|number of failed|.*too many)" || true
}
for clients in 1 10 50 95; do
    run "mélange" "$clients" "${mix[@]}"
done
run "écritures seules" 10 -f tools/load/ecrire.sql
run "au-delà des connexions du serveur" 120 "${mix[@]}"
echo "Charge après : $(cut -d' ' -f1-3 /proc/loadavg)"
