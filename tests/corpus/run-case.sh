#!/usr/bin/env bash
# One case of the characterization corpus: the federation loaded into a new database, a print
# run, the records it leaves, a reprint; every document with its messages and exit code.
# Usage: run-case.sh TESSARAN FEDERATION.json.gz OUTDIR RUN-OPTIONS...
# Documents carry the day's date; it is written JJ/MM/AAAA so that the corpus does not age.
set -uo pipefail
# The messages are recorded in English: the locale is pinned, whatever the developer's.
export LC_ALL=C.UTF-8
unset LC_MESSAGES LANG
bin=$1 federation=$2 out=$3
shift 3
options=("$@")
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
db="$work/case.db"
# On the throwaway PostgreSQL server of the tests, when one is named: a schema of its own.
if [ -n "${TESSARAN_TEST_POSTGRES_STATE:-}" ]; then
    server=$(cat "$TESSARAN_TEST_POSTGRES_STATE")
    schema="corpus_$$_$RANDOM"
    psql "$server" -qc "CREATE SCHEMA $schema" || exit 1
    db="$server&options=-csearch_path%3D$schema"
fi

zcat "$federation" > "$work/federation.json"
"$bin" init --db "$db" > /dev/null || exit 1
"$bin" import --db "$db" "$work/federation.json" > /dev/null || exit 1

run() {  # run COMMAND: its document, its messages (without the command's prefix), its exit code
    local command=$1
    "$bin" "$command" --db "$db" "${options[@]}" --output "$work/$command.txt" > /dev/null 2> "$work/$command.err"
    echo $? > "$out/$command.rc"
    sed -E 's#^tessaran [a-z]+: ##' "$work/$command.err" > "$out/$command.err"
    if [ -e "$work/$command.txt" ]; then
        sed -E 's#Date : [0-9]{2}/[0-9]{2}/[0-9]{4}#Date : JJ/MM/AAAA#' "$work/$command.txt"
    fi > "$out/$command.txt"
}
run print
"$bin" export --db "$db" > "$out/export.json"
run reprint
