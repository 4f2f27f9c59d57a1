#!/usr/bin/env bash
# A user's run of the real program: a date-mode profile with one shutdown 30 s
# ahead, started with "start:<name>". At zero the real ExitWindowsEx ends every
# process of this test's own Wine prefix (never the machine); we watch from outside.
set -euo pipefail
scheduler=$1 make_profile=$2 prepare=$3
# Inside the build tree (CTest runs this in the test folder), never elsewhere.
work=$(mktemp -d "$PWD/e2e.XXXXXX")
# WINEARCH (win32 or win64) and PATH come from the test's environment.
export WINEPREFIX=$work/prefix WINEARCH=${WINEARCH:-win32} WINEDEBUG=-all LANG=ja_JP.UTF-8 TZ=JST-9
export WINEDLLOVERRIDES="winemenubuilder.exe,mshtml,mscoree=d"
cleanup() { wineserver -k 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$prepare" "$WINEPREFIX"
mkdir "$work/app"
cp "$scheduler" "$work/app/"

cd "$work/app"
# Another user program in the same session: only the real end of the session
# ends it too (a crash of the scheduler would leave it running).
wine notepad.exe &
sentinel=$!
# The item is due 30 s after this, its seconds cut: 29 s at the least.
due=$(( $(date +%s) + 29 ))
wine "$make_profile" "$(winepath -w "$work/app")\\" e2e 30 || fail "the profile was not saved"
[ "$(stat -c %s "$work/app/profile/scheduler/e2e.dat")" -eq 222658 ] || fail "profile size"
kill -0 "$sentinel" 2>/dev/null || fail "the other user program ended before the run"

started=$(date +%s)
wine SoporaScheduler.exe start:e2e &
program=$!
# Watch until the program ends, for two minutes at most.
deadline=$(( started + 120 ))
while kill -0 "$program" 2>/dev/null && [ "$(date +%s)" -lt "$deadline" ]; do
  sleep 0.5
done
kill -0 "$program" 2>/dev/null && fail "the countdown did not end the session within two minutes"
ended=$(date +%s)
elapsed=$(( ended - started ))
[ "$ended" -ge "$due" ] || fail "ended $(( due - ended ))s before the item was due"
# The end of the session takes the other program along; give it time.
deadline=$(( ended + 60 ))
while kill -0 "$sentinel" 2>/dev/null && [ "$(date +%s)" -lt "$deadline" ]; do
  sleep 0.5
done
kill -0 "$sentinel" 2>/dev/null && fail "the other user program still runs: the session did not end"
# The whole prefix went down with the session.
wineserver -w
if [ -f Scheduler_error.txt ]; then
  iconv -f UTF-16 -t UTF-8 Scheduler_error.txt >&2 || true
  fail "the run logged errors"
fi
echo "the session ended after ${elapsed}s, as planned"
