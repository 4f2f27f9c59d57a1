#!/usr/bin/env bash
# A user's run of the real countdown program: a default profile in ".\sopora.ini"
# (Time: its end two to three minutes ahead; cpu: an idle processor watch), started
# with "開始". The real ExitWindowsEx ends every process of this test's own Wine
# prefix (never the machine); we watch from outside.
#   e2e_countdown.sh <Sopora.exe> <make_timer_profile.exe> <press_start.exe> <wineprefix.sh> time|cpu
set -euo pipefail
program=$1 make_profile=$2 press_start=$3 prepare=$4 mode=$5
# Inside the build tree (CTest runs this in the test folder), never elsewhere.
work=$(mktemp -d "$PWD/e2e-countdown.XXXXXX")
export WINEPREFIX=$work/prefix WINEARCH=${WINEARCH:-win32} WINEDEBUG=-all LANG=ja_JP.UTF-8 TZ=JST-9
export WINEDLLOVERRIDES="winemenubuilder.exe,mshtml,mscoree=d"
cleanup() { wineserver -k 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$prepare" "$WINEPREFIX"
mkdir "$work/app"
cp "$program" "$work/app/"
folder="$(winepath -w "$work/app")\\"
if [ "$mode" = time ]; then
  # Whole minutes only reach the start: the end is 120-180 s ahead.
  wine "$make_profile" "$folder" e2e time 180 || fail "the profile was not saved"
  size=16145 least=100 limit=300
else
  wine "$make_profile" "$folder" e2e cpu 3 10 || fail "the profile was not saved"
  size=16137 least=2 limit=120
fi
[ "$(stat -c %s "$work/app/profile/e2e.dat")" -eq "$size" ] || fail "profile size"

cd "$work/app"
wine Sopora.exe &
program_pid=$!
wine "$press_start" || fail "the settings dialog did not appear"
started=$(date +%s)
deadline=$(( started + limit ))
while kill -0 "$program_pid" 2>/dev/null && [ "$(date +%s)" -lt "$deadline" ]; do
  sleep 0.5
done
kill -0 "$program_pid" 2>/dev/null && fail "the countdown did not end the session within ${limit}s"
elapsed=$(( $(date +%s) - started ))
[ "$elapsed" -ge "$least" ] || fail "ended after ${elapsed}s, before the countdown was due"
wineserver -w
if [ -f sopora_error.txt ]; then
  iconv -f UTF-16 -t UTF-8 sopora_error.txt >&2 || true
  fail "the run logged errors"
fi
echo "the session ended after ${elapsed}s, as planned"
