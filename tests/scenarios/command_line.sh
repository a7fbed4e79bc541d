#!/usr/bin/env bash
# The tessaran command end to end on the demo database: refusals, a print run to a text file,
# the records it leaves, a second print that finds nothing left, a reprint that writes
# nothing and shows the same invoice numbers, a preview, and an interrupted print.
set -euo pipefail
bin=$1
# The command line's own messages follow the locale: English here, whatever the developer's.
export LC_ALL=C.UTF-8
unset LC_MESSAGES LANG
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
db="$work/demo.db"
source "$(dirname "$0")/../support/checks.sh"

"$bin" demo --db "$db" > /dev/null
check "demo refuses to overwrite" test "$(exit_code "$bin" demo --db "$db")" = 2
check "a user who may not print is refused" \
    test "$(exit_code "$bin" print --db "$db" --period 202611 --all --output "$work/x.txt" --user consultation)" = 4
check "a period not offered is refused" \
    test "$(exit_code "$bin" print --db "$db" --period 199901 --all --output "$work/x.txt" --user admin)" = 4
check "an unknown association is refused" \
    test "$(exit_code "$bin" print --db "$db" --period 202611 --assoc ZZZ --output "$work/x.txt" --user admin)" = 4
check "nothing was written by the refused runs" test ! -e "$work/x.txt"

"$bin" print --db "$db" --period 202611 --all --output "$work/print.txt" --user admin 2> "$work/print.err"
check "the print run prints the invoices" grep -q "FACTURE DES FRAIS DE GESTION DE NOVEMBRE 2026" "$work/print.txt"
check "the missing fee scale is announced" \
    grep -q "Message VELORANDE: Le barème de l'association ENTRAIDE SOLOGNOTE n'est pas renseigné." "$work/print.err"
numbers=$(grep -o "Numéro de facture : [0-9]*" "$work/print.txt" | sort -u | tr '\n' ' ')
check "invoice numbers follow the counter" test "$numbers" = "$(printf 'Numéro de facture : %s ' 0000000124 0000000125 0000000126 0000000127 0000000128)"
check "the counter holds the last number" \
    test "$("$bin" select --db "$db" 'SSELECT NUMEROFACT' --attrs 10)" = 0000000128
check "a second print finds nothing left" \
    test "$(exit_code "$bin" print --db "$db" --period 202611 --all --output "$work/again.txt" --user admin)" = 6

"$bin" export --db "$db" > "$work/before.json"
"$bin" reprint --db "$db" --period 202611 --all --output "$work/reprint.txt" --user consultation 2> /dev/null
"$bin" export --db "$db" > "$work/after.json"
check "the reprint writes nothing" cmp -s "$work/before.json" "$work/after.json"
renumbers=$(grep -o "Numéro de facture : [0-9]*" "$work/reprint.txt" | sort -u | tr '\n' ' ')
check "the reprint shows the same invoice numbers" test "$renumbers" = "$numbers"

# Rights hold: the login user acts as another only with level 2; level 0 gives nothing; a
# consulting user may reprint and read, not write.
rdb="$work/rights.db"
"$bin" demo --db "$rdb" > /dev/null
"$bin" rights --db "$rdb" "$(id -un)" 1 > /dev/null
check "acting as another needs level 2" \
    test "$(exit_code "$bin" print --db "$rdb" --period 202611 --all --output "$work/r.txt" --user admin)" = 4
check "\$TESSARAN_USER is acting as another too" \
    test "$(set +e; TESSARAN_USER=nobody "$bin" rights --db "$rdb" nobody 2 > /dev/null 2>&1; echo $?)" = 4
check "a consulting login may reprint" \
    test "$(exit_code "$bin" reprint --db "$rdb" --period 202610 --all --output "$work/r.txt")" = 0
check "a consulting login may not import" test "$(exit_code "$bin" import --db "$rdb" "$work/before.json")" = 4
check "a consulting login may not grant" test "$(exit_code "$bin" rights --db "$rdb" "$(id -un)" 2)" = 4
check "a user name with a line break is refused" \
    test "$(exit_code "$bin" reprint --db "$rdb" --period 202610 --all --output "$work/r.txt" --user $'a\tb')" = 1
sqlite3 "$rdb" "UPDATE tessaran_rights SET level = 0"
check "level 0 may not even reprint" \
    test "$(exit_code "$bin" reprint --db "$rdb" --period 202610 --all --output "$work/r.txt")" = 4
check "level 0 may not open the window" \
    test "$(exit_code env QT_QPA_PLATFORM=offscreen timeout 20 "$bin" gui --db "$rdb")" = 4

# A preview writes nothing and gives the text the print that follows writes.
fresh="$work/fresh.db"
"$bin" demo --db "$fresh" > /dev/null
"$bin" export --db "$fresh" > "$work/fresh-before.json"
"$bin" preview --db "$fresh" --period 202611 --all --output "$work/preview.txt" --user admin 2> /dev/null
"$bin" export --db "$fresh" > "$work/fresh-after.json"
check "the preview writes nothing" cmp -s "$work/fresh-before.json" "$work/fresh-after.json"
"$bin" print --db "$fresh" --period 202611 --all --output "$work/fresh-print.txt" --user admin 2> /dev/null
check "the preview is the text the print writes" cmp -s "$work/preview.txt" "$work/fresh-print.txt"

# A counter that is not an invoice number stops the print run before anything is done.
for counter in xyz -10 12345678901; do
    odd="$work/odd-$counter.db"
    "$bin" demo --db "$odd" > /dev/null
    echo "{\"NUMEROFACT\": {\"001\": {\"10\": \"$counter\"}}}" > "$work/counter.json"
    "$bin" import --db "$odd" "$work/counter.json" > /dev/null
    "$bin" export --db "$odd" > "$work/odd-before.json"
    check "the counter $counter is refused" \
        test "$(exit_code "$bin" print --db "$odd" --period 202611 --all --output "$work/odd.txt" --user admin)" = 10
    "$bin" export --db "$odd" > "$work/odd-after.json"
    check "nothing is written with the counter $counter" cmp -s "$work/odd-before.json" "$work/odd-after.json"
done
check "no document is written with a refused counter" test ! -e "$work/odd.txt"

# The counter may not go back below a number already given: an import that would do it is
# refused, and a counter set back by other means stops the print run.
low="$work/low.db"
"$bin" demo --db "$low" > /dev/null
echo '{"NUMEROFACT": {"001": {"10": "0000000100"}}}' > "$work/low.json"
check "an import setting the counter back is refused" test "$(exit_code "$bin" import --db "$low" "$work/low.json")" = 3
sqlite3 "$low" "UPDATE NUMEROFACT SET record = X'FEFEFEFEFEFEFEFEFE30303030303030313030'"
"$bin" export --db "$low" > "$work/low-before.json"
check "a counter below a given number stops the print" \
    test "$(exit_code "$bin" print --db "$low" --period 202611 --all --output "$work/low.txt" --user admin)" = 10
"$bin" export --db "$low" > "$work/low-after.json"
check "nothing is written with a counter set back" cmp -s "$work/low-before.json" "$work/low-after.json"

# An interrupted print keeps nothing: the records and the earlier document stay as they were.
big="$work/big.db"
"$bin" demo --db "$big" > /dev/null
awk 'BEGIN { printf "{\"FLUXCOMPTABLES\": {";
             for (i = 1; i <= 20000; i++) printf "%s\"F0009A01S01202611%05d\": {\"1\": \"202611\", \"4\": \"101\", \"6\": \"600\", \"7\": \"12852\", \"17\": \"1428\", \"36\": \"202611\"}", (i > 1 ? ", " : ""), i;
             print "}}" }' > "$work/many.json"
"$bin" import --db "$big" "$work/many.json" > /dev/null
"$bin" export --db "$big" > "$work/big-before.json"
echo "document précédent" > "$work/big.txt"
"$bin" print --db "$big" --period 202611 --all --output "$work/big.txt" --user admin 2> "$work/big.err" &
run=$!
# Once the document is being written beside its target, the walk has begun.
for _ in $(seq 1 600); do
    compgen -G "$work/.big.txt.*" > /dev/null && break
    sleep 0.1
done
kill -INT "$run"
set +e; wait "$run"; rc=$?; set -e
"$bin" export --db "$big" > "$work/big-after.json"
check "an interrupted print exits with the cancelled code" test "$rc" = 7
check "an interrupted print keeps no record" cmp -s "$work/big-before.json" "$work/big-after.json"
check "an interrupted print leaves the earlier document" test "$(cat "$work/big.txt")" = "document précédent"
check "an interrupted print says so" grep -q "Impression annulée" "$work/big.err"

# The command line speaks French when the locale is French, even one not installed, and
# English otherwise; the control's messages stay French, the exit codes the same.
speaks() {  # speaks LOCALE-ASSIGNMENT... -- EXPECTED COMMAND...: stdout and stderr hold EXPECTED
    local settings=()
    while [ "$1" != -- ]; do settings+=("$1"); shift; done
    shift
    local expected=$1; shift
    local said
    said=$(set +e; env -u LC_ALL -u LC_MESSAGES -u LANG "${settings[@]}" "$@" 2>&1)
    grep -qF -- "$expected" <<< "$said"
}
for french in LANG=fr_FR.UTF-8 LANG=fr LC_MESSAGES=fr_BE "LC_ALL=fr_CA.UTF-8 LANG=en_US.UTF-8"; do
    # shellcheck disable=SC2086
    check "usage in French under $french" speaks $french -- "Usage : tessaran print [--db CHEMIN]" "$bin" print --help
    # shellcheck disable=SC2086
    check "a refusal in French under $french" speaks $french -- \
        "tessaran print : la période 199901 n'est pas proposée ; les périodes proposées sont 202611 (NOVEMBRE 2026)" \
        "$bin" print --db "$fresh" --period 199901 --all --output "$work/x.txt" --user admin
    # shellcheck disable=SC2086
    check "an error in French under $french" speaks $french -- \
        "tessaran export : aucune base de données à l'emplacement $work/none.db" "$bin" export --db "$work/none.db"
done
for english in "" LANG=C LANG=en_US.UTF-8 "LC_ALL=C LANG=fr_FR.UTF-8" "LC_MESSAGES=POSIX LANG=fr_FR"; do
    # shellcheck disable=SC2086
    check "usage in English under '$english'" speaks $english -- "Usage: tessaran print [--db PATH]" "$bin" print --help
    # shellcheck disable=SC2086
    check "a refusal in English under '$english'" speaks $english -- \
        "tessaran print: the period 199901 is not offered; the periods offered are 202611 (NOVEMBRE 2026)" \
        "$bin" print --db "$fresh" --period 199901 --all --output "$work/x.txt" --user admin
    # shellcheck disable=SC2086
    check "an error in English under '$english'" speaks $english -- \
        "tessaran export: no database at $work/none.db" "$bin" export --db "$work/none.db"
done
check "the control still speaks French under an English locale" speaks LANG=en_US.UTF-8 -- \
    "Message VELORANDE: Le barème de l'association ENTRAIDE SOLOGNOTE n'est pas renseigné." \
    "$bin" print --db "$fresh" --period 202611 --all --output "$work/x.txt" --user admin
check "the exit code does not depend on the language" \
    test "$(set +e; LANG=fr_FR.UTF-8 "$bin" print --db "$fresh" --period 199901 --all --output "$work/x.txt" --user admin > /dev/null 2>&1; echo $?)" = 4

# A French desk writes numbers with a decimal comma: the figures printed and the records
# written must not change with it. The locale is built here, as Debian builds it for one.
mkdir -p "$work/locales"
if localedef -i fr_FR -f UTF-8 "$work/locales/fr_FR.UTF-8" 2> /dev/null; then
    for desk in english french; do
        "$bin" demo --db "$work/$desk-desk.db" > /dev/null
    done
    "$bin" print --db "$work/english-desk.db" --period 202611 --all --output "$work/english-desk.txt" \
        --user admin 2> /dev/null
    LOCPATH="$work/locales" LC_ALL=fr_FR.UTF-8 "$bin" print --db "$work/french-desk.db" --period 202611 --all \
        --output "$work/french-desk.txt" --user admin 2> /dev/null
    check "a French desk prints the same figures" cmp -s "$work/english-desk.txt" "$work/french-desk.txt"
    check "and writes the same records" \
        cmp -s <("$bin" export --db "$work/english-desk.db") <("$bin" export --db "$work/french-desk.db")
else
    echo "FAILED: the fr_FR.UTF-8 locale cannot be built here (the locales package is missing)"
    failures=$((failures + 1))
fi

summary
