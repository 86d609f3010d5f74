#!/usr/bin/env bash
# Starts or stops a throwaway PostgreSQL cluster for the tests.
#
#   pg-test-cluster.sh start DIR   initdb into a new temporary folder, start the server on
#                                  127.0.0.1 at a free port and write DIR/pg_service.conf
#   pg-test-cluster.sh stop DIR    stop that server and remove its folder
#
# Clients reach it through the service "vornadel_test" of DIR/pg_service.conf (PGSERVICEFILE),
# so their URI, postgresql:///postgres?service=vornadel_test, is known before the port is.
# The superuser "postgres" is trusted from this machine; every other role logs in with a
# password. The server never runs as root: under root the cluster belongs to "nobody".
# PG_BINDIR names the server's programs (default: the newest /usr/lib/postgresql/*/bin).
set -euo pipefail

usage() { echo "usage: $0 start|stop DIR" >&2; exit 2; }
[ $# -eq 2 ] || usage
action=$1
state=$2
mkdir -p "$state"
state=$(cd "$state" && pwd)

bindir=${PG_BINDIR:-$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)}
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u nobody -- "$@"
  else
    "$@"
  fi
}

stop_cluster() {
  [ -f "$state/cluster" ] || return 0
  local folder
  folder=$(cat "$state/cluster")
  if [ -f "$folder/data/postmaster.pid" ]; then
    as_owner "$bindir/pg_ctl" -D "$folder/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$folder"
  rm -f "$state/cluster" "$state/pg_service.conf" "$state/server.crt" "$state/other.crt"
}

case "$action" in
stop)
  stop_cluster
  ;;
start)
  if [ ! -x "$bindir/initdb" ] || [ ! -x "$bindir/pg_ctl" ]; then
    echo "The PostgreSQL server programs (initdb, pg_ctl) are not installed: run scripts/setup.sh," \
         "or name their folder in PG_BINDIR." >&2
    exit 1
  fi
  # A run that was killed leaves its cluster behind; the next one clears it first.
  stop_cluster
  folder=$(mktemp -d /tmp/vornadel-pg.XXXXXX)
  echo "$folder" >"$state/cluster"
  mkdir "$folder/socket"
  [ "$(id -u)" -ne 0 ] || chown -R nobody: "$folder"
  if ! as_owner "$bindir/initdb" -D "$folder/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 \
      >"$folder/initdb.log" 2>&1; then
    cat "$folder/initdb.log" >&2
    stop_cluster
    exit 1
  fi
  as_owner tee "$folder/data/pg_hba.conf" >/dev/null <<'EOF'
local all postgres              trust
host  all postgres 127.0.0.1/32 trust
local all all                   scram-sha-256
host  all all      127.0.0.1/32 scram-sha-256
EOF
  # TLS for the tests of sslmode=verify-full: the server's certificate, made for 127.0.0.1, and
  # another that signs nothing of the server's. Other clients keep to plain connections
  # (sslmode=disable in the service).
  ssl="-c ssl=off"
  if command -v openssl >/dev/null; then
    for name in server other; do
      openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=vornadel test $name" \
        -addext "subjectAltName=IP:127.0.0.1" -keyout "$folder/$name.key" -out "$folder/$name.crt" \
        >/dev/null 2>&1
    done
    chmod 600 "$folder"/*.key
    [ "$(id -u)" -ne 0 ] || chown nobody: "$folder"/*.key "$folder"/*.crt
    cp "$folder/server.crt" "$folder/other.crt" "$state/"
    ssl="-c ssl=on -c ssl_cert_file=$folder/server.crt -c ssl_key_file=$folder/server.key"
  fi
  # Another program may take a port between our choice and the server's start: try again.
  started=""
  for _ in 1 2 3 4 5 6 7 8 9 10; do
    port=$((20000 + RANDOM % 40000))
    if as_owner "$bindir/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -t 60 \
        -o "-p $port -c listen_addresses=127.0.0.1 -c unix_socket_directories=$folder/socket -c fsync=off $ssl" \
        start >/dev/null 2>&1; then
      started=$port
      break
    fi
  done
  if [ -z "$started" ]; then
    echo "The test server did not start; its log says:" >&2
    cat "$folder/server.log" >&2 || true
    stop_cluster
    exit 1
  fi
  cat >"$state/pg_service.conf" <<EOF
[vornadel_test]
host=127.0.0.1
port=$started
user=postgres
dbname=postgres
sslmode=disable
EOF
  echo "PGSERVICEFILE=$state/pg_service.conf"
  echo "VORNADEL_TEST_SERVER=postgresql:///postgres?service=vornadel_test"
  echo "(postgresql://postgres@127.0.0.1:$started/postgres)"
  ;;
*)
  usage
  ;;
esac
