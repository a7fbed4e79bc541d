#!/usr/bin/env bash
# Several workstations on one PostgreSQL database, end to end with the tessaran command:
# moving a federation there and back, the user being the server's role, print runs started
# at once, reads beside a print, a connection lost in the middle of a run, and records
# edited with psql. Needs the throwaway server (TESSARAN_TEST_POSTGRES_STATE).
# Usage: workstations.sh TESSARAN
set -euo pipefail
bin=$1
server=$(cat "${TESSARAN_TEST_POSTGRES_STATE:?no test server}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LC_ALL=C.UTF-8
source "$(dirname "$0")/../support/checks.sh"
sql() { psql "$server" -qtAX -v ON_ERROR_STOP=1 -c "$1"; }
# A new empty schema, and the location of a database there (as role $2, default the admin).
new_database() {
    local schema="ws_$1_$$"
    sql "CREATE SCHEMA $schema" > /dev/null
    local location="$server&options=-csearch_path%3D$schema"
    [ -n "${2:-}" ] && location="${location/user=tessaran_admin/user=$2}"
    echo "$location"
}
schema_of() { sed -E 's/.*search_path%3D//' <<< "$1"; }

# Moving a federation: SQLite -> PostgreSQL -> SQLite, byte-identical exports.
"$bin" demo --db "$work/demo.db" > /dev/null
"$bin" export --db "$work/demo.db" > "$work/sqlite.json"
pg=$(new_database move)
"$bin" init --db "$pg" > /dev/null
"$bin" export --db "$work/demo.db" | "$bin" import --db "$pg" - > /dev/null
"$bin" export --db "$pg" > "$work/postgres.json"
check "a federation moved to the server exports byte for byte the same" cmp -s "$work/sqlite.json" "$work/postgres.json"
"$bin" init --db "$work/back.db" > /dev/null
"$bin" export --db "$pg" | "$bin" import --db "$work/back.db" - > /dev/null
check "and moved back as well" cmp -s "$work/sqlite.json" <("$bin" export --db "$work/back.db")
check "init refuses a schema that already holds a database" test "$(exit_code "$bin" init --db "$pg")" = 2

# The same print run on both storages gives the same documents and records.
"$bin" print --db "$work/demo.db" --user admin --period 202611 --all --output "$work/sqlite.txt" 2> /dev/null
"$bin" print --db "$pg" --period 202611 --all --output "$work/postgres.txt" 2> /dev/null
check "the print run gives the same document on both" cmp -s "$work/sqlite.txt" "$work/postgres.txt"
check "and leaves the same records" \
    cmp -s <("$bin" export --db "$work/demo.db") <("$bin" export --db "$pg")

# The user is the role that connected: --user cannot change it; rights are read for the role.
check "the creator's role was given level 2" grep -qx "tessaran_admin	2" <("$bin" rights --db "$pg")
check "--user cannot name another user on a server" \
    test "$(exit_code "$bin" reprint --db "$pg" --period 202611 --all --output "$work/x.txt" --user admin)" = 4
check "nor can TESSARAN_USER" \
    test "$(TESSARAN_USER=admin exit_code "$bin" select --db "$pg" 'SSELECT SECTEUR')" = 4
schema=$(schema_of "$pg")
sql "DO \$\$ BEGIN CREATE ROLE consultation LOGIN; CREATE ROLE stranger LOGIN;
     EXCEPTION WHEN duplicate_object THEN NULL; END \$\$;
     GRANT USAGE ON SCHEMA $schema TO consultation, stranger;
     GRANT SELECT ON ALL TABLES IN SCHEMA $schema TO consultation, stranger;" > /dev/null
"$bin" rights --db "$pg" consultation 1 > /dev/null
as_consultation="${pg/user=tessaran_admin/user=consultation}"
as_stranger="${pg/user=tessaran_admin/user=stranger}"
check "a role of level 1 may reprint" \
    test "$(exit_code "$bin" reprint --db "$as_consultation" --period 202611 --all --output "$work/re.txt")" = 0
check "but not print" \
    test "$(exit_code "$bin" print --db "$as_consultation" --period 202611 --all --output "$work/x.txt")" = 4
check "a role with no right may not even select" \
    test "$(exit_code "$bin" select --db "$as_stranger" 'SSELECT SECTEUR')" = 4
"$bin" rights --db "$pg" stranger 2 > /dev/null
check "a role the server does not let write cannot print, whatever its level" \
    test "$(exit_code "$bin" print --db "$as_stranger" --period 202610 --all --output "$work/x.txt")" != 0
check "and wrote nothing" cmp -s <("$bin" export --db "$pg") <("$bin" export --db "$work/demo.db")

# Many workstations pressing "Imprimer" at once: one run bills, the others find nothing left.
reference=$(new_database reference)
"$bin" init --db "$reference" > /dev/null
"$bin" import --db "$reference" "$work/sqlite.json" > /dev/null
"$bin" print --db "$reference" --period 202611 --all --output "$work/reference.txt" 2> /dev/null
crowd=$(new_database crowd)
"$bin" init --db "$crowd" > /dev/null
"$bin" import --db "$crowd" "$work/sqlite.json" > /dev/null
pids=()
for i in 1 2 3 4 5 6; do
    "$bin" print --db "$crowd" --period 202611 --all --output "$work/crowd$i.txt" > /dev/null 2>&1 &
    pids+=($!)
done
codes=""
for pid in "${pids[@]}"; do set +e; wait "$pid"; codes+="$? "; set -e; done
check "six prints at once: one prints, five find nothing ($codes)" \
    test "$(tr ' ' '\n' <<< "$codes" | sort | tr '\n' ' ')" = " 0 6 6 6 6 6 "
check "and the records are those of one run" \
    cmp -s <("$bin" export --db "$crowd") <("$bin" export --db "$reference")

# A big month: reads beside the print see it before or after; a lost connection keeps nothing.
big=$(new_database big)
"$bin" init --db "$big" > /dev/null
"$bin" import --db "$big" "$work/sqlite.json" > /dev/null
awk 'BEGIN { printf "{\"FLUXCOMPTABLES\": {";
             for (i = 1; i <= 30000; i++) printf "%s\"F0009A01S01202611%05d\": {\"1\": \"202611\", \"4\": \"101\", \"6\": \"600\", \"7\": \"12852\", \"17\": \"1428\", \"36\": \"202611\"}", (i > 1 ? ", " : ""), i;
             print "}}" }' > "$work/many.json"
"$bin" import --db "$big" "$work/many.json" > /dev/null
"$bin" export --db "$big" > "$work/big-before.json"
echo "document précédent" > "$work/big.txt"
"$bin" print --db "$big" --period 202611 --all --output "$work/big.txt" > /dev/null 2> "$work/big.err" &
run=$!
for _ in $(seq 1 600); do
    compgen -G "$work/.big.txt.*" > /dev/null && break
    sleep 0.1
done
"$bin" export --db "$big" > "$work/big-during.json"
check "an export beside a print sees the database as before it" cmp -s "$work/big-before.json" "$work/big-during.json"
# The connection cut is the one holding this database's write lock: other tests on the same
# server go on undisturbed.
sql "SELECT pg_terminate_backend(pid) FROM pg_locks WHERE locktype = 'advisory' AND granted
     AND classid = 5381 AND objid = (hashtext('$(schema_of "$big")')::bigint & 4294967295)::oid" > /dev/null
set +e; wait "$run"; rc=$?; set -e
check "a print whose connection is lost fails ($rc)" test "$rc" != 0 -a "$rc" != 7
check "and keeps no record" cmp -s "$work/big-before.json" <("$bin" export --db "$big")
check "and leaves the earlier document" test "$(cat "$work/big.txt")" = "document précédent"

# Records written with psql are seen by the select language, as edits with sqlite3 are.
edited=$(new_database edited)
"$bin" init --db "$edited" > /dev/null
"$bin" import --db "$edited" "$work/sqlite.json" > /dev/null
sql "UPDATE $(schema_of "$edited").\"ACTIVITES\" SET record = convert_to('Nouvelle' || repeat(chr(254), 11) || 'P', 'LATIN1')
     WHERE key = (SELECT key FROM $(schema_of "$edited").\"ACTIVITES\" ORDER BY key DESC LIMIT 1)" > /dev/null
check "an activity made of kind P with psql is found through the index" \
    test "$("$bin" select --db "$edited" 'SSELECT ACTIVITES AVEC 12 = "P"' | wc -l)" -gt \
         "$("$bin" select --db "$work/demo.db" 'SSELECT ACTIVITES AVEC 12 = "P"' | wc -l)"

summary
