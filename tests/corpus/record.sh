#!/usr/bin/env bash
# Records the characterization corpus: generates each federation of cases.txt, keeps it, and
# keeps what the program prints, writes and says for it. Run it only when a change of the
# documents or records is intended, and say why in the commit.
# Usage: tests/corpus/record.sh build/plain/src/app/tessaran build/plain/bench/tessaran_generate
set -euo pipefail
bin=$(realpath "$1") generate=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
while IFS='|' read -r name generator options; do
    name=$(echo $name)
    case "$name" in ''|'#'*) continue ;; esac
    dir="$here/cases/$name"
    rm -rf "$dir" && mkdir -p "$dir"
    rm -f "$work/g.db"
    if [ "$(echo $generator)" = demo ]; then
        "$bin" demo --db "$work/g.db" > /dev/null
    else
        # shellcheck disable=SC2086
        "$generate" --db "$work/g.db" --varied $generator > /dev/null
    fi
    "$bin" export --db "$work/g.db" | gzip -n9 > "$dir/federation.json.gz"
    # shellcheck disable=SC2086
    "$here/run-case.sh" "$bin" "$dir/federation.json.gz" "$work/out" $options
    for file in print.txt reprint.txt export.json; do gzip -n9 < "$work/out/$file" > "$dir/$file.gz"; done
    cp "$work/out/"*.rc "$work/out/"*.err "$dir/"
    echo "$name: print $(cat "$dir/print.rc"), reprint $(cat "$dir/reprint.rc"), $(zcat "$dir/print.txt.gz" | grep -c $'\f') page breaks"
done < "$here/cases.txt"
