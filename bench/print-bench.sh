#!/usr/bin/env bash
# The whole print run against its floor (bench/PrintFloor.cpp), run by `make bench`.
# For each size: a generated federation of ASSOCIATIONS associations, 2 months, FLOWS flows
# waiting in the month (generated once, kept in DIR); then, each on a fresh copy and alternating
# the program and the floor so that a busy machine weighs on both alike:
#   print to text (its text is the layout the floors draw), floor to text, print to PDF,
#   floor to PDF, reprint to text and to PDF (on the database the text print left).
# Prints one table row per size: wall seconds, floor, ratio, peak resident memory of tessaran.
# With REPEAT > 1 in the environment the whole alternation is run that many times per size and
# each figure is the median of its runs (the peak memory the greatest).
# Usage: bench/print-bench.sh BIN_DIR DIR "SIZES" [ASSOCIATIONS]
#   BIN_DIR holds src/app/tessaran, bench/tessaran_generate and bench/tessaran_floor.
set -euo pipefail
bins=$(realpath "$1") dir=$2 sizes=$3 associations=${4:-500}
tessaran=$bins/src/app/tessaran generate=$bins/bench/tessaran_generate floor=$bins/bench/tessaran_floor
period=202611 repeat=${REPEAT:-1}
mkdir -p "$dir"
dir=$(realpath "$dir")
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/xdg-$(id -un)}
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

federation() {  # federation FLOWS: the cached generated database
    local base="$dir/federation-$1-$associations.db"
    if [ ! -e "$base" ]; then
        "$generate" --db "$base.part" --associations "$associations" --flows "$1" --months 2 > /dev/null
        sqlite3 "$base.part" "INSERT OR REPLACE INTO tessaran_rights VALUES ('$(id -un)', 'MORVELINTASKADE', 2)"
        mv "$base.part" "$base"
    fi
    echo "$base"
}

fresh() {  # fresh BASE COPY: a copy of the federation, nothing beside it
    rm -f "$2" "$2-wal" "$2-shm"
    cp "$1" "$2"
}

source "$(dirname "$0")/timing.sh"

echo "machine: $(nproc) cores, load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
for flows in $sizes; do federation "$flows" > /dev/null; done
echo "load average after generating: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "| flows | print PDF | floor | ratio | print text | floor | ratio | reprint text | reprint PDF | peak RSS |"
echo "|---|---|---|---|---|---|---|---|---|---|"
for flows in $sizes; do
    base=$(federation "$flows")
    run=(--period "$period" --all)
    rm -f "$dir"/*.times
    for ((round = 1; round <= repeat; round++)); do
        fresh "$base" "$dir/text.db"
        timed print-text "$tessaran" print --db "$dir/text.db" "${run[@]}" --output "$dir/print.txt"
        fresh "$base" "$dir/floor.db"
        timed floor-text "$floor" --db "$dir/floor.db" --period "$period" --layout "$dir/print.txt" \
            --output "$dir/floor.txt"
        cmp -s "$dir/print.txt" "$dir/floor.txt" || echo "warning: the floor's text differs from the run's" >&2
        fresh "$base" "$dir/pdf.db"
        timed print-pdf "$tessaran" print --db "$dir/pdf.db" "${run[@]}" --output "$dir/print.pdf"
        fresh "$base" "$dir/floor.db"
        timed floor-pdf "$floor" --db "$dir/floor.db" --period "$period" --layout "$dir/print.txt" \
            --output "$dir/floor.pdf"
        timed reprint-text "$tessaran" reprint --db "$dir/text.db" "${run[@]}" --output "$dir/reprint.txt"
        timed reprint-pdf "$tessaran" reprint --db "$dir/text.db" "${run[@]}" --output "$dir/reprint.pdf"
    done
    peak=0
    for name in print-text print-pdf reprint-text reprint-pdf; do
        kb=$(kilobytes $name)
        [ "$kb" -gt "$peak" ] && peak=$kb
    done
    printf '| %s | %s s | %s s | %s | %s s | %s s | %s | %s s | %s s | %s MB |\n' "$flows" \
        "$(seconds print-pdf)" "$(seconds floor-pdf)" "$(ratio "$(seconds print-pdf)" "$(seconds floor-pdf)")" \
        "$(seconds print-text)" "$(seconds floor-text)" "$(ratio "$(seconds print-text)" "$(seconds floor-text)")" \
        "$(seconds reprint-text)" "$(seconds reprint-pdf)" "$((peak / 1024))"
done
echo
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
