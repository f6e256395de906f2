#!/usr/bin/env bash
# A throw-away PostgreSQL cluster for the tests and the benchmark: initdb and pg_ctl in a
# temporary folder, as an unprivileged user (initdb refuses root: root runs them as the system
# user postgres), listening only on a Unix socket in that folder, never on the network.
#
#   pg-test-cluster.sh start RECORD   starts a cluster and writes its folder into the file RECORD
#   pg-test-cluster.sh stop RECORD    stops the cluster that RECORD names and removes its folder
#   pg-test-cluster.sh restart RECORD stops and starts it again, as an administrator would
#   pg-test-cluster.sh halt RECORD    stops it and keeps it, as a server that went down
#   pg-test-cluster.sh resume RECORD  starts a halted cluster again
#
# Connect with "host=FOLDER user=postgres dbname=postgres" (trust on the socket only); the role
# "refuse" is always turned away, as a wrong password would be.
set -euo pipefail
action=${1:-}
record=${2:-}
case "$action" in start | stop | restart | halt | resume) ;; *) action= ;; esac
if [ -z "$record" ] || [ -z "$action" ]; then
    echo "Utilisation : $0 start|stop|restart|halt|resume FICHIER" >&2
    exit 2
fi

bindir=$(pg_config --bindir 2>/dev/null || true)
if [ ! -x "$bindir/initdb" ]; then
    bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
fi
if [ ! -x "$bindir/initdb" ]; then
    echo "Le serveur PostgreSQL n'est pas installé (paquet postgresql) : lancez tools/install-deps.sh." >&2
    exit 1
fi

as_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

stop() {
    [ -f "$record" ] || return 0
    local folder
    folder=$(cat "$record")
    if [ -d "$folder/data" ]; then
        as_owner "$bindir/pg_ctl" -D "$folder/data" -m fast -w stop >/dev/null 2>&1 || true
    fi
    case "$folder" in
    /tmp/pivanes-pg.*) rm -rf "$folder" ;;
    esac
    rm -f "$record"
}

if [ "$action" = stop ]; then
    stop
    exit 0
fi
# No TCP at all; the data need not survive a crash of the machine.
options() {
    echo "-c listen_addresses='' -c unix_socket_directories='$1' -c fsync=off"
}
if [ "$action" = restart ] || [ "$action" = halt ] || [ "$action" = resume ]; then
    folder=$(cat "$record")
    case "$action" in
    restart) as_owner "$bindir/pg_ctl" -D "$folder/data" -m fast -w restart >/dev/null ;;
    halt) as_owner "$bindir/pg_ctl" -D "$folder/data" -m fast -w stop >/dev/null ;;
    resume)
        as_owner "$bindir/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -t 60 \
            -o "$(options "$folder")" start >/dev/null
        ;;
    esac
    exit 0
fi

# A cluster left by an interrupted run goes first.
stop
if [ "$(id -u)" -eq 0 ] && ! id postgres >/dev/null 2>&1; then
    echo "L'utilisateur système postgres manque (paquet postgresql) : lancez tools/install-deps.sh." >&2
    exit 1
fi
folder=$(mktemp -d /tmp/pivanes-pg.XXXXXX)
chmod 755 "$folder"
[ "$(id -u)" -ne 0 ] || chown postgres: "$folder"
if ! as_owner "$bindir/initdb" -D "$folder/data" -U postgres --auth=trust -E UTF8 \
    --locale=C.UTF-8 --no-sync >"$folder/initdb.log" 2>&1; then
    cat "$folder/initdb.log" >&2
    rm -rf "$folder"
    exit 1
fi
sed -i '1i local all refuse reject' "$folder/data/pg_hba.conf"
if ! as_owner "$bindir/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -t 60 \
    -o "$(options "$folder")" start >/dev/null; then
    cat "$folder/server.log" >&2
    rm -rf "$folder"
    exit 1
fi
echo "$folder" >"$record"
echo "Serveur PostgreSQL de test : host=$folder user=postgres"
