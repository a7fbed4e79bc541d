#!/usr/bin/env bash
# Times `tessaran export` and `tessaran import` on a generated federation, as a user runs them:
# tessaran_generate writes the federation once (2 months, kept in DIR). Each round times, one
# after the other so that a busy machine weighs on all alike: the export of an older build
# (OLD, when given), the export of TESSARAN, and the export's floor, reading every record and
# doing nothing with it: through the storage's own scan in one read transaction
# (tessaran_read_floor, when READ_FLOOR is given) and with the sqlite3 shell. Prints the median
# wall seconds, the peak resident memory and the ratios, and whether both builds' documents are
# identical (md5). The document is then imported into a new database, exported again and
# compared byte for byte with the first.
# Usage: [OLD=TESSARAN] [READ_FLOOR=TESSARAN_READ_FLOOR] [ROUNDS=3] \
#        bench/exchange-run.sh TESSARAN TESSARAN_GENERATE [FLOWS_PER_MONTH] [ASSOCIATIONS] [DIR]
#   cmake --build build/rel --target tessaran tessaran_generate tessaran_read_floor &&
#   READ_FLOOR=build/rel/bench/tessaran_read_floor OLD=/path/to/older/tessaran \
#       bench/exchange-run.sh build/rel/src/app/tessaran build/rel/bench/tessaran_generate 600000 500
#                                                                            # 1,200,000 flows
set -euo pipefail
bin=$(realpath "$1") generate=$(realpath "$2")
flows=${3:-100000} associations=${4:-500} dir=${5:-/tmp/tessaran-exchange-bench}
old=${OLD:+$(realpath "$OLD")} floor=${READ_FLOOR:+$(realpath "$READ_FLOOR")} rounds=${ROUNDS:-3}
mkdir -p "$dir"
dir=$(realpath "$dir")
source "$(dirname "$0")/timing.sh"
base="$dir/federation-$flows-$associations.db"
if [ ! -e "$base" ]; then
    "$generate" --db "$base" --associations "$associations" --flows "$flows" --months 2 > /dev/null
    sqlite3 "$base" "INSERT OR REPLACE INTO tessaran_rights VALUES ('$(id -un)', 'MORVELINTASKADE', 2)"
fi
copy="$dir/copy.db"
rm -f "$dir"/*.times "$dir"/*.log "$dir/again.json" "$copy" "$copy-wal" "$copy-shm"
# Every record of every data file, printed by the sqlite3 shell to /dev/null.
reads=$(sqlite3 "$base" "SELECT name FROM tessaran_files ORDER BY name" |
    while read -r file; do printf 'SELECT key, record FROM "%s"; ' "$file"; done)

echo "$((flows * 2)) flows, $associations associations; $(nproc) cores, load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
for ((round = 1; round <= rounds; round++)); do
    # The document is what `timed` keeps of a command's output: $dir/NAME.log.
    [ -n "$old" ] && timed export-old "$old" export --db "$base"
    timed export "$bin" export --db "$base"
    [ -n "$floor" ] && timed read-floor "$floor" --db "$base"
    output=/dev/null timed read-sqlite3 sqlite3 "$base" "$reads"
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
document="$dir/export.log"
line() { printf '%-28s %6s s, %8s KB%s\n' "$1" "$(seconds "$2")" "$(kilobytes "$2")" "${3:-}"; }
line "export" export
[ -n "$old" ] && line "export (older build)" export-old "; now / before $(ratio "$(seconds export)" "$(seconds export-old)")"
[ -n "$floor" ] && line "read floor (storage scan)" read-floor "; export / floor $(ratio "$(seconds export)" "$(seconds read-floor)")"
line "read with sqlite3" read-sqlite3 "; export / sqlite3 read $(ratio "$(seconds export)" "$(seconds read-sqlite3)")"
if [ -n "$old" ]; then
    if [ "$(md5sum < "$document")" = "$(md5sum < "$dir/export-old.log")" ]; then
        echo "both builds' documents identical: md5 $(md5sum < "$document" | cut -d' ' -f1)"
    else
        echo "the two builds' documents differ" >&2
        exit 1
    fi
fi
"$bin" init --db "$copy" > /dev/null
/usr/bin/time -f "import %e s, %M KB" "$bin" import --db "$copy" "$document" 2>&1 > /dev/null | tail -n 1
"$bin" export --db "$copy" > "$dir/again.json"
cmp "$document" "$dir/again.json" && echo "exported again: identical, $(stat -c %s "$document") bytes"
