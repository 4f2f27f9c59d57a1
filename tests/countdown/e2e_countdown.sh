#!/usr/bin/env bash
# A user's run of the real countdown program: a default profile in ".\sopora.ini"
# (Time: its end two to three minutes ahead; cpu: an idle processor watch), started
# with "開始". The real ExitWindowsEx ends every process of this test's own Wine
# prefix (never the machine); we watch from outside. time_sound: as time, with a
# one-second WAV eight seconds before the end. resume_sound: a standby at once
# (Wine returns from it at once), a WAV one second after the resume, and the
# user's mouse ends the program, which leaves the session running.
#   e2e_countdown.sh <Sopora.exe> <make_timer_profile.exe> <press_start.exe> <wineprefix.sh> time|cpu|time_sound|resume_sound
set -euo pipefail
program=$1 make_profile=$2 press_start=$3 prepare=$4 mode=$5
source "$(dirname "$0")/../support/e2e_session.sh"
e2e_begin "$program" "$prepare"
folder="$(winepath -w "$work/app")\\"
if [ "$mode" = time ] || [ "$mode" = time_sound ]; then
  # Whole minutes only reach the start: the end is 120-180 s ahead.
  sound=()
  [ "$mode" = time_sound ] && sound=(sound 8)
  wine "$make_profile" "$folder" e2e time 180 "${sound[@]}" || fail "the profile was not saved"
  size=16145 least=110 limit=300
elif [ "$mode" = resume_sound ]; then
  wine "$make_profile" "$folder" e2e resume-sound || fail "the profile was not saved"
  size=16145 least=2 limit=150
else
  wine "$make_profile" "$folder" e2e cpu 3 10 || fail "the profile was not saved"
  size=16137 least=3 limit=120
fi
[ "$(stat -c %s "$work/app/profile/e2e.dat")" -eq "$size" ] || fail "profile size"

cd "$work/app"
e2e_start_sentinel
wine Sopora.exe &
program_pid=$!
if [ "$mode" = resume_sound ]; then
  started=$(date +%s)
  wine "$press_start" nudge || fail "the program did not end after the resume and the user's input ($?)"
  status=0
  wait "$program_pid" || status=$?
  [ "$status" -eq 0 ] || fail "the program ended with status $status"
  elapsed=$(( $(date +%s) - started ))
  [ "$elapsed" -ge "$least" ] || fail "ended after ${elapsed}s, before its sound after the resume"
  kill -0 "$sentinel" 2>/dev/null || fail "the session ended: a standby must not end it"
  # Wine cannot wake the machine, which the log records; nothing else may be there.
  log=$(iconv -f UTF-16 -t UTF-8 sopora_error.txt 2>/dev/null || true)
  if grep -q "サウンド再生エラー\|アプリ起動エラー" <<<"$log"; then
    echo "$log" >&2
    fail "the run logged a sound error"
  fi
  echo "the program ended ${elapsed}s after the start, after its sound and the user's input"
  exit 0
fi
wine "$press_start" || fail "the settings dialog did not appear"
started=$(date +%s)
e2e_wait_while_running "$program_pid" "$limit"
kill -0 "$program_pid" 2>/dev/null && fail "the countdown did not end the session within ${limit}s"
elapsed=$(( $(date +%s) - started ))
[ "$elapsed" -ge "$least" ] || fail "ended after ${elapsed}s, before the countdown was due"
e2e_expect_session_ended sopora_error.txt
echo "the session ended after ${elapsed}s, as planned"
