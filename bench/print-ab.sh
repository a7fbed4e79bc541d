#!/usr/bin/env bash
# One build of tessaran against another on the same generated federation, alternating them on
# fresh copies so that a busy machine weighs on both alike: print to text, print to PDF,
# reprint to text (on the database the text print left), ROUNDS times each. Prints the median
# wall seconds of each, the ratio new / old, peak resident memory, and whether the documents
# of both builds are identical (text byte for byte; the PDF is not compared, it holds a date).
# Usage: bench/print-ab.sh OLD_TESSARAN NEW_TESSARAN FEDERATION.db DIR [ROUNDS]
#   FEDERATION.db: made by tessaran_generate (see bench/print-bench.sh), its rights granted.
set -euo pipefail
old=$(realpath "$1") new=$(realpath "$2") base=$(realpath "$3") dir=$4 rounds=${5:-1}
period=202611
mkdir -p "$dir"
dir=$(realpath "$dir")
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/xdg-$(id -un)}
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
rm -f "$dir"/*.times

source "$(dirname "$0")/timing.sh"

echo "machine: $(nproc) cores, load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
for ((round = 1; round <= rounds; round++)); do
    for build in old new; do
        bin=${!build}
        cp "$base" "$dir/$build.db"
        timed "$build-print-text" "$bin" print --db "$dir/$build.db" --period "$period" --all --output "$dir/$build.txt"
        timed "$build-reprint-text" "$bin" reprint --db "$dir/$build.db" --period "$period" --all \
            --output "$dir/$build-reprint.txt"
        cp "$base" "$dir/$build-pdf.db"
        timed "$build-print-pdf" "$bin" print --db "$dir/$build-pdf.db" --period "$period" --all \
            --output "$dir/$build.pdf"
    done
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "| run | old | new | new / old | peak RSS old / new |"
echo "|---|---|---|---|---|"
for run in print-text print-pdf reprint-text; do
    a=$(seconds "old-$run") b=$(seconds "new-$run")
    printf '| %s | %s s | %s s | %s | %s / %s MB |\n' "$run" "$a" "$b" \
        "$(ratio "$b" "$a")" \
        "$(($(kilobytes "old-$run") / 1024))" "$(($(kilobytes "new-$run") / 1024))"
done
cmp -s "$dir/old.txt" "$dir/new.txt" && echo "print text: identical" || echo "print text: DIFFERENT"
cmp -s "$dir/old-reprint.txt" "$dir/new-reprint.txt" && echo "reprint text: identical" || echo "reprint text: DIFFERENT"
