#!/bin/sh
# start STATE SOURCE_DIR: certificates, then the servers in the background.
# stop STATE: asks the servers to end and waits until they have (they also
# end by themselves).
set -eu
action="$1"; state="$2"
case "$action" in
start)
  source_dir="$3"
  mkdir -p "$state"
  "$source_dir/make_test_certs.sh" "$state/certs"
  if [ -f "$state/pid" ] && kill -0 "$(cat "$state/pid")" 2>/dev/null; then
    touch "$state/stop"
    while kill -0 "$(cat "$state/pid")" 2>/dev/null; do sleep 0.2; done
  fi
  rm -rf "$state/mail" "$state/auth.log" "$state/quit.log" "$state/ready" "$state/stop"
  setsid /usr/bin/python3 "$source_dir/mail_servers.py" "$state" 900 \
    >"$state/servers.log" 2>&1 </dev/null &
  echo $! > "$state/pid"
  # Ready once every server accepts a connection; the deadline only ends a
  # start-up that is broken, and a server process that died ends it at once.
  if /usr/bin/python3 - "$state" "$(cat "$state/pid")" <<'PROBE'
import os, socket, sys, time
state, pid = sys.argv[1], int(sys.argv[2])
deadline = time.monotonic() + 90
waiting = None
while time.monotonic() < deadline:
    try:
        os.kill(pid, 0)
    except OSError:
        sys.exit("the mail servers ended during their start-up")
    if waiting is None and os.path.exists(os.path.join(state, "ready")):
        with open(os.path.join(state, "ready")) as f:
            waiting = [int(port) for port in f.read().split()]
    for port in list(waiting or []):
        try:
            socket.create_connection(("127.0.0.1", port), timeout=2).close()
            waiting.remove(port)
        except OSError:
            pass
    if waiting == []:
        sys.exit(0)
    time.sleep(0.1)
sys.exit("no connection within 90 s to port(s) %s" % (waiting if waiting else "any (not ready)"))
PROBE
  then
    exit 0
  fi
  cat "$state/servers.log" >&2
  exit 1 ;;
stop)
  touch "$state/stop"
  # Returns once the ports are free, so that the next start can take them.
  if [ -f "$state/pid" ]; then
    for _ in $(seq 150); do
      kill -0 "$(cat "$state/pid")" 2>/dev/null || break
      sleep 0.2
    done
  fi
  exit 0 ;;
esac
