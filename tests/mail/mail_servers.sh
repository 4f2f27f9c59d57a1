#!/bin/sh
# start STATE SOURCE_DIR: certificates, then the servers in the background.
# stop STATE: asks the servers to end (they also end by themselves).
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
  rm -rf "$state/mail" "$state/auth.log" "$state/ready" "$state/stop"
  setsid /usr/bin/python3 "$source_dir/mail_servers.py" "$state" 900 \
    >"$state/servers.log" 2>&1 </dev/null &
  echo $! > "$state/pid"
  for _ in $(seq 1 100); do
    [ -f "$state/ready" ] && exit 0
    kill -0 "$(cat "$state/pid")" 2>/dev/null || break
    sleep 0.1
  done
  cat "$state/servers.log" >&2
  exit 1 ;;
stop)
  touch "$state/stop"
  exit 0 ;;
esac
