#!/usr/bin/env bash
# A user's run of the real countdown program: a default profile in ".\sopora.ini"
# (Time: its end two to three minutes ahead; cpu: an idle processor watch), started
# with "開始". The real ExitWindowsEx ends every process of this test's own Wine
# prefix (never the machine); we watch from outside.
#   e2e_countdown.sh <Sopora.exe> <make_timer_profile.exe> <press_start.exe> <wineprefix.sh> time|cpu
set -euo pipefail
program=$1 make_profile=$2 press_start=$3 prepare=$4 mode=$5
source "$(dirname "$0")/../support/e2e_session.sh"
e2e_begin "$program" "$prepare"
folder="$(winepath -w "$work/app")\\"
if [ "$mode" = time ]; then
  # Whole minutes only reach the start: the end is 120-180 s ahead.
  wine "$make_profile" "$folder" e2e time 180 || fail "the profile was not saved"
  size=16145 least=110 limit=300
else
  wine "$make_profile" "$folder" e2e cpu 3 10 || fail "the profile was not saved"
  size=16137 least=3 limit=120
fi
[ "$(stat -c %s "$work/app/profile/e2e.dat")" -eq "$size" ] || fail "profile size"

cd "$work/app"
e2e_start_sentinel
wine Sopora.exe &
program_pid=$!
wine "$press_start" || fail "the settings dialog did not appear"
started=$(date +%s)
e2e_wait_while_running "$program_pid" "$limit"
kill -0 "$program_pid" 2>/dev/null && fail "the countdown did not end the session within ${limit}s"
elapsed=$(( $(date +%s) - started ))
[ "$elapsed" -ge "$least" ] || fail "ended after ${elapsed}s, before the countdown was due"
e2e_expect_session_ended sopora_error.txt
echo "the session ended after ${elapsed}s, as planned"
