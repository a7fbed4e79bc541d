#!/usr/bin/env bash
# Times whole print, reprint and preview runs on a generated federation month, as a user runs
# them: tessaran_generate writes the federation once (kept in DIR), each run works on a fresh
# copy. Prints one line per run: wall seconds and peak resident memory.
# Usage: bench/print-run.sh TESSARAN TESSARAN_GENERATE [FLOWS] [ASSOCIATIONS] [DIR]
#   make release generate && bench/print-run.sh build/release/src/app/tessaran \
#       build/bench/bench/tessaran_generate 100000 500
set -euo pipefail
bin=$(realpath "$1") generate=$(realpath "$2")
flows=${3:-10000} associations=${4:-500} dir=${5:-/tmp/tessaran-print-bench}
mkdir -p "$dir"
base="$dir/federation-$flows-$associations.db"
if [ ! -e "$base" ]; then
    "$generate" --db "$base" --associations "$associations" --flows "$flows" --months 2 > /dev/null
    sqlite3 "$base" "INSERT OR REPLACE INTO tessaran_rights VALUES ('$(id -un)', 'MORVELINTASKADE', 2)"
fi
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
run() {  # run LABEL COMMAND OUTPUT: a fresh copy of the federation, then the timed command
    local label=$1 command=$2 output=$3 db="$dir/run.db"
    rm -f "$db" "$db-wal" "$db-shm" "$dir/$output"
    cp "$base" "$db"
    [ "$command" = reprint ] && "$bin" print --db "$db" --period 202611 --all --output "$dir/first.txt" 2> /dev/null
    /usr/bin/time -f "$label %e s, %M KB" "$bin" "$command" --db "$db" --period 202611 --all \
        --output "$dir/$output" 2>&1 > /dev/null | tail -n 1
}
echo "$flows flows, $associations associations"
run "print to text  " print out.txt
run "print to PDF   " print out.pdf
run "preview to text" preview out.txt
run "reprint to text" reprint out.txt
