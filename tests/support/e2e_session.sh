# Sourced by the end-to-end scripts: a user's session in a Wine prefix of its
# own inside the build tree, which only the programs' real power call ends.
# WINEARCH (win32 or win64), PATH and the tests' own home (HOME and the XDG
# folders, which the prefix's wine server takes from the first start) come
# from the test's environment.

fail() { echo "FAIL: $*" >&2; exit 1; }

# e2e_begin PROGRAM PREPARE: a fresh work folder in the test folder (never
# elsewhere) with a prepared prefix and the program in work/app.
e2e_begin() {
  work=$(mktemp -d "$PWD/e2e.XXXXXX")
  export WINEPREFIX=$work/prefix WINEARCH=${WINEARCH:-win32} WINEDEBUG=-all LANG=ja_JP.UTF-8 TZ=JST-9
  export WINEDLLOVERRIDES="winemenubuilder.exe,mshtml,mscoree=d"
  trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
  "$2" "$WINEPREFIX"
  mkdir "$work/app"
  cp "$1" "$work/app/"
}

# e2e_start_sentinel: another user program in the same session; only the real
# end of the session ends it too (a crash, or an end without the action, leaves
# it running). Sets sentinel.
e2e_start_sentinel() {
  wine notepad.exe &
  sentinel=$!
}

# e2e_wait_while_running PID SECONDS: returns once PID ended or SECONDS passed.
e2e_wait_while_running() {
  local deadline=$(( $(date +%s) + $2 ))
  while kill -0 "$1" 2>/dev/null && [ "$(date +%s)" -lt "$deadline" ]; do
    sleep 0.5
  done
}

# e2e_expect_session_ended ERROR_LOG: the sentinel went with the session, the
# whole prefix is down, and the program logged nothing.
e2e_expect_session_ended() {
  e2e_wait_while_running "$sentinel" 60
  kill -0 "$sentinel" 2>/dev/null && fail "the other user program still runs: the session did not end"
  wineserver -w
  if [ -f "$1" ]; then
    iconv -f UTF-16 -t UTF-8 "$1" >&2 || true
    fail "the run logged errors"
  fi
}
