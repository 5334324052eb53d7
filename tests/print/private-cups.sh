#!/usr/bin/env bash
# A private print server: cupsd with its own configuration, spool and socket in a temporary
# folder, with cups-pdf queues on it. The system's own print server is not touched.
#   private-cups.sh start QUEUE=PAPER... [--default QUEUE]
#       prints CUPS_SERVER=<socket>, CUPS_DIR=<folder> and CUPSD_PID=<pid>, one a line;
#       `eval "$(private-cups.sh start ...)"; export CUPS_SERVER` points lp and Qt at it.
#   private-cups.sh stop FOLDER
#       ends that cupsd and removes its folder.
# Exit status 77: cupsd cannot run here (the reason on standard error); 1: it failed.
set -uo pipefail

fail() { echo "private-cups.sh: $2" >&2; exit "$1"; }

stop() {
  local dir=$1 pid
  pid=$(cat "$dir/cupsd.pid" 2>/dev/null) || true
  if [ -n "$pid" ] && kill "$pid" 2>/dev/null; then
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null || true
  fi
  case "$dir" in /tmp/mv53-cups-*) rm -rf "$dir" ;; esac
}

start() {
  [ "$(id -u)" = 0 ] || fail 77 "cups-pdf writes its files only for a cupsd that runs as root; run this as root"
  local cupsd
  cupsd=$(PATH=/usr/sbin:/sbin:$PATH command -v cupsd) && command -v lpadmin >/dev/null &&
    [ -x /usr/lib/cups/backend/cups-pdf ] ||
    fail 77 "cups, cups-client or printer-driver-cups-pdf is not installed (scripts/install-deps.sh installs them)"
  local root
  root=$(mktemp -d /tmp/mv53-cups-XXXXXX) || fail 77 "no temporary folder for cupsd"
  # Filters run as the unprivileged user "lp": they need the spool and a scratch folder.
  chmod 755 "$root"
  mkdir "$root"/{spool,cache,state,log,tmp,ppd}
  chmod 1777 "$root/tmp"
  chgrp lp "$root/spool" "$root/cache"
  chmod 0770 "$root/spool" "$root/cache"
  local socket=$root/cups.sock
  cat > "$root/cupsd.conf" <<EOF
Listen $socket
LogLevel info
WebInterface No
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
EOF
  cat > "$root/cups-files.conf" <<EOF
ServerRoot $root
RequestRoot $root/spool
CacheDir $root/cache
StateDir $root/state
TempDir $root/tmp
ErrorLog $root/log/error_log
AccessLog $root/log/access_log
PageLog $root/log/page_log
Printcap $root/printcap
SystemGroup root
EOF
  "$cupsd" -f -c "$root/cupsd.conf" -s "$root/cups-files.conf" < /dev/null > "$root/log/cupsd.out" 2>&1 &
  local pid=$!
  echo "$pid" > "$root/cupsd.pid"
  for _ in $(seq 200); do [ -S "$socket" ] || ! kill -0 "$pid" 2>/dev/null && break; sleep 0.1; done
  if [ ! -S "$socket" ]; then
    local why
    why="cupsd did not come up: $(cat "$root/log/cupsd.out"; tail -c 2000 "$root/log/error_log" 2>/dev/null)"
    stop "$root"
    fail 77 "$why"
  fi
  export CUPS_SERVER=$socket
  while [ $# -gt 0 ]; do
    case "$1" in
      --default) lpadmin -d "$2" || { stop "$root"; fail 1 "lpadmin -d $2 failed"; }; shift 2 ;;
      *=*) lpadmin -p "${1%%=*}" -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd -o "PageSize=${1#*=}" >&2 ||
             { stop "$root"; fail 1 "lpadmin failed for the queue ${1%%=*}"; }
           shift ;;
      *) stop "$root"; fail 1 "what is \"$1\"?" ;;
    esac
  done
  printf 'CUPS_SERVER=%s\nCUPS_DIR=%s\nCUPSD_PID=%s\n' "$socket" "$root" "$pid"
}

case "${1:-}" in
  start) shift; start "$@" ;;
  stop) [ $# = 2 ] || fail 1 "usage: private-cups.sh stop FOLDER"; stop "$2" ;;
  *) fail 1 "usage: private-cups.sh start QUEUE=PAPER... [--default QUEUE] | stop FOLDER" ;;
esac
