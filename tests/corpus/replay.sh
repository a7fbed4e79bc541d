#!/usr/bin/env bash
# Replays the characterization corpus: every case must give exactly the documents, records,
# messages and exit codes recorded. Usage: tests/corpus/replay.sh TESSARAN
set -uo pipefail
bin=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passes=0 failures=0
while IFS='|' read -r name generator options; do
    name=$(echo $name)
    case "$name" in ''|'#'*) continue ;; esac
    dir="$here/cases/$name" out="$work/$name"
    # shellcheck disable=SC2086
    "$here/run-case.sh" "$bin" "$dir/federation.json.gz" "$out" $options
    differences=""
    for file in print.txt reprint.txt export.json; do
        if ! zcat "$dir/$file.gz" | cmp -s - "$out/$file"; then
            differences+=" $file"
            zcat "$dir/$file.gz" | diff - "$out/$file" | head -20
        fi
    done
    for file in print.rc print.err reprint.rc reprint.err; do
        if ! cmp -s "$dir/$file" "$out/$file"; then
            differences+=" $file"
            diff "$dir/$file" "$out/$file" | head -10
        fi
    done
    if [ -z "$differences" ]; then
        passes=$((passes + 1))
    else
        echo "FAILED: $name differs in$differences"
        failures=$((failures + 1))
    fi
done < "$here/cases.txt"
echo "corpus: $passes cases identical, $failures differ"
[ "$failures" -eq 0 ]
