#!/usr/bin/env bash
# Times `tessaran export` and `tessaran import` on a generated federation, as a user runs them:
# tessaran_generate writes the federation once (2 months, kept in DIR); the export's document is
# imported into a new database, exported again and compared byte for byte with the first.
# Prints one line per command: wall seconds and peak resident memory.
# Usage: bench/exchange-run.sh TESSARAN TESSARAN_GENERATE [FLOWS_PER_MONTH] [ASSOCIATIONS] [DIR]
#   make release generate && bench/exchange-run.sh build/release/src/app/tessaran \
#       build/bench/bench/tessaran_generate 600000 500          # 1,200,000 flows
set -euo pipefail
bin=$(realpath "$1") generate=$(realpath "$2")
flows=${3:-100000} associations=${4:-500} dir=${5:-/tmp/tessaran-exchange-bench}
mkdir -p "$dir"
base="$dir/federation-$flows-$associations.db"
if [ ! -e "$base" ]; then
    "$generate" --db "$base" --associations "$associations" --flows "$flows" --months 2 > /dev/null
    sqlite3 "$base" "INSERT OR REPLACE INTO tessaran_rights VALUES ('$(id -un)', 'MORVELINTASKADE', 2)"
fi
document="$dir/export.json" copy="$dir/copy.db"
rm -f "$document" "$dir/again.json" "$copy" "$copy-wal" "$copy-shm"
echo "$((flows * 2)) flows, $associations associations; $(uptime)"
/usr/bin/time -f "export %e s, %M KB" "$bin" export --db "$base" 2>&1 > "$document" | tail -n 1
"$bin" init --db "$copy" > /dev/null
/usr/bin/time -f "import %e s, %M KB" "$bin" import --db "$copy" "$document" 2>&1 > /dev/null | tail -n 1
"$bin" export --db "$copy" > "$dir/again.json"
cmp "$document" "$dir/again.json" && echo "exported again: identical, $(stat -c %s "$document") bytes"
