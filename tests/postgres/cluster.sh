#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the tests, from Debian's server packages.
#   cluster.sh start STATE   creates and starts a cluster, writes its connection URI to STATE
#   cluster.sh stop STATE    stops it and removes it
# The cluster lives in a fresh folder under /tmp and listens on a Unix socket in that folder
# only (no TCP port, so it never meets another server). The server refuses to run as root:
# under root it runs as the unprivileged user "nobody". fsync is off, since nothing here
# outlives the tests, unless TESSARAN_CLUSTER_DURABLE=1 (benchmarks: a server as shipped).
set -euo pipefail
action=${1:?start or stop}
state=${2:?state file}

bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
[ -x "$bin/initdb" ] || { echo "PostgreSQL server not installed (apt-get install postgresql)" >&2; exit 1; }

as_server() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u nobody -- "$@"; else "$@"; fi
}

case "$action" in
start)
  dir=$(mktemp -d /tmp/tessaran-pg.XXXXXX)
  chmod 755 "$dir"
  [ "$(id -u)" -eq 0 ] && chown nobody "$dir"
  as_server "$bin/initdb" -D "$dir/data" -U tessaran_admin -A trust -E UTF8 --locale=C >"$dir/initdb.log" 2>&1 \
    || { cat "$dir/initdb.log" >&2; exit 1; }
  settings="-c listen_addresses='' -c unix_socket_directories='$dir'"
  [ "${TESSARAN_CLUSTER_DURABLE:-0}" = 1 ] || settings+=" -c fsync=off -c full_page_writes=off -c synchronous_commit=off"
  as_server "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 -o "$settings" start >/dev/null \
    || { cat "$dir/server.log" >&2; exit 1; }
  as_server "$bin/createdb" -h "$dir" -U tessaran_admin -E UTF8 -T template0 tessaran_test
  echo "postgresql:///tessaran_test?host=$dir&user=tessaran_admin" >"$state"
  echo "$dir" >"$state.dir"
  ;;
stop)
  [ -f "$state.dir" ] || exit 0
  dir=$(cat "$state.dir")
  as_server "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
  rm -rf "$dir" "$state" "$state.dir"
  ;;
*) echo "usage: cluster.sh start|stop STATE" >&2; exit 1 ;;
esac
