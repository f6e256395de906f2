#!/usr/bin/env bash
# Prints a card of 140 lines through a real CUPS queue. Starts a cupsd of its own (own folders
# and socket: the machine's CUPS is left alone) with the cups-pdf virtual printer as the default
# queue, runs the test that clicks "Imprimer", and stops the daemon whatever happens.
#   tools/cups-test.sh PATH_OF_tst_SystemPrinter
set -euo pipefail
test_program=$(realpath "$1")

skip() {
    echo "IGNORÉ : $*"
    exit 77
}
[ "$(id -u)" -eq 0 ] || skip "il faut être root pour lancer un cupsd et la file cups-pdf."
for tool in cupsd lpadmin lpstat; do
    command -v "$tool" >/dev/null || skip "$tool manque (paquet cups)."
done
backend=/usr/lib/cups/backend/cups-pdf
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
[ -x "$backend" ] && [ -f "$ppd" ] ||
    skip "l'imprimante virtuelle manque (paquet printer-driver-cups-pdf)."

queue=PivanesTest$$ # one per run: the settings file below lies in /etc/cups
work=$(mktemp -d /tmp/pivanes-cups.XXXXXX)
queue_conf=/etc/cups/cups-pdf-$queue.conf
daemon=""
stop() {
    if [ -n "$daemon" ]; then
        kill "$daemon" 2>/dev/null || true
        wait "$daemon" 2>/dev/null || true
    fi
    rm -f "$queue_conf"
    rm -rf "$work"
}
trap stop EXIT
mkdir -p "$work"/etc/ppd "$work"/spool/tmp "$work"/cache "$work"/state "$work"/log "$work"/out
chmod 0755 "$work" "$work/etc"
chmod 0777 "$work/out"
socket=$work/cups.sock

cat >"$work/etc/cupsd.conf" <<CONF
Listen $socket
LogLevel warn
WebInterface No
Browsing No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
cat >"$work/etc/cups-files.conf" <<CONF
ServerRoot $work/etc
RequestRoot $work/spool
TempDir $work/spool/tmp
CacheDir $work/cache
StateDir $work/state
ErrorLog $work/log/error_log
AccessLog $work/log/access_log
PageLog $work/log/page_log
SystemGroup root
CONF
# The cups-pdf backend reads the settings of a queue named in its address from /etc/cups.
cat >"$queue_conf" <<CONF
Out $work/out
AnonDirName $work/out
Label 0
UserUMask 0000
CONF

timeout 300 cupsd -f -c "$work/etc/cupsd.conf" -s "$work/etc/cups-files.conf" &
daemon=$!
export CUPS_SERVER=$socket
ready=""
for _ in $(seq 100); do
    if lpstat -r 2>/dev/null | grep -q "scheduler is running"; then
        ready=yes
        break
    fi
    kill -0 "$daemon" 2>/dev/null || break
    sleep 0.1 # cupsd opens its socket in a process of its own
done
if [ -z "$ready" ]; then
    cupsd -t -c "$work/etc/cupsd.conf" -s "$work/etc/cups-files.conf" || true
    cat "$work/log/error_log" 2>/dev/null || true
    echo "cupsd n'a pas démarré." >&2
    exit 1
fi

timeout 30 lpadmin -p "$queue" -E -v "cups-pdf:/$queue" -P "$ppd" -o PageSize=A4
timeout 30 lpadmin -d "$queue"
echo "File d'impression $queue prête : $(lpstat -d)"

status=0
PIVANES_TEST_QUEUE=$queue PIVANES_TEST_QUEUE_OUTPUT=$work/out timeout 240 "$test_program" || status=$?
if [ "$status" -ne 0 ]; then
    echo "--- journal de cupsd ---"
    cat "$work/log/error_log" 2>/dev/null || true
fi
exit "$status"
