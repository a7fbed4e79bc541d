#!/usr/bin/env bash
# The print run on PostgreSQL beside the same run on SQLite: one generated federation month,
# loaded into a SQLite file and into a throwaway PostgreSQL server on this machine (durable
# settings, as Debian ships it; Unix socket), then print and reprint to text on each, one run
# each, alternating. Prints wall seconds, peak resident memory and the PostgreSQL/SQLite ratio.
# Usage: bench/postgres-run.sh TESSARAN TESSARAN_GENERATE [FLOWS] [ASSOCIATIONS] [DIR]
#   make release generate && bench/postgres-run.sh build/release/src/app/tessaran \
#       build/bench/bench/tessaran_generate 100000 500
set -euo pipefail
bin=$(realpath "$1") generate=$(realpath "$2")
flows=${3:-10000} associations=${4:-500} dir=${5:-/tmp/tessaran-postgres-bench}
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$dir"
base="$dir/federation-$flows-$associations.db"
if [ ! -e "$base" ]; then
    "$generate" --db "$base" --associations "$associations" --flows "$flows" --months 2 > /dev/null
    sqlite3 "$base" "INSERT OR REPLACE INTO tessaran_rights VALUES ('$(id -un)', 'MORVELINTASKADE', 2)"
fi
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
state="$dir/server"
TESSARAN_CLUSTER_DURABLE=1 bash "$here/../tests/postgres/cluster.sh" start "$state"
trap 'bash "$here/../tests/postgres/cluster.sh" stop "$state"' EXIT
server=$(cat "$state")

timed() {  # timed LABEL COMMAND...: one run; prints its wall seconds and peak memory, keeps the seconds
    local label=$1; shift
    /usr/bin/time -f "%e %M" -o "$dir/time" "$@" > /dev/null 2>&1 || true
    read -r wall memory < "$dir/time"
    printf '%-28s %8s s %8s KB\n' "$label" "$wall" "$memory"
    echo "$wall" > "$dir/$label.seconds"
}
fresh() {  # fresh STORAGE: a copy of the federation on that storage, its location on stdout
    if [ "$1" = sqlite ]; then
        rm -f "$dir/run.db" "$dir/run.db-wal" "$dir/run.db-shm"
        cp "$base" "$dir/run.db"
        echo "$dir/run.db"
    else
        local schema="run_$RANDOM$RANDOM"
        psql "$server" -qc "CREATE SCHEMA $schema"
        local location="$server&options=-csearch_path%3D$schema"
        "$bin" init --db "$location" > /dev/null
        "$bin" export --db "$base" | "$bin" import --db "$location" - > /dev/null
        echo "$location"
    fi
}
echo "$flows flows, $associations associations; load before: $(cut -d' ' -f1-3 /proc/loadavg)"
for storage in sqlite postgres; do
    location=$(fresh "$storage")
    timed "print-$storage" "$bin" print --db "$location" --period 202611 --all --output "$dir/$storage-print.txt"
    timed "reprint-$storage" "$bin" reprint --db "$location" --period 202611 --all --output "$dir/$storage-reprint.txt"
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
cmp -s "$dir/sqlite-print.txt" "$dir/postgres-print.txt" && echo "same print document on both" \
    || echo "THE PRINT DOCUMENTS DIFFER"
for run in print reprint; do
    awk -v s="$(cat "$dir/$run-sqlite.seconds")" -v p="$(cat "$dir/$run-postgres.seconds")" -v r="$run" \
        'BEGIN { printf "%s: PostgreSQL / SQLite = %.2f\n", r, p / s }'
done
