#!/usr/bin/env bash
# A user's settings made in the sheet "詳細設定" and saved as a profile with the
# profile manager, which makes it the default of ".\sopora.ini"; a fresh
# Sopora.exe loads it, is started with "開始" and counts down to the shutdown,
# whose real ExitWindowsEx ends every process of this test's own Wine prefix.
#   e2e_sheet_profile.sh <Sopora.exe> <make_profile_in_sheet.exe> <press_start.exe> <wineprefix.sh>
set -euo pipefail
program=$1 make_profile=$2 press_start=$3 prepare=$4
source "$(dirname "$0")/../support/e2e_session.sh"
e2e_begin "$program" "$prepare"
folder="$(winepath -w "$work/app")\\"
# Whole minutes only reach the start: the end is 120-180 s ahead.
wine "$make_profile" "$folder" sheet 180 || fail "the sheet and the profile manager did not save the profile ($?)"
grep -a -q '^DefProfile=sheet' "$work/app/sopora.ini" || fail "the profile manager did not make it the default"

# The saved file: the shutdown at a time, and what the sheet set.
file="$work/app/profile/sheet.dat"
[ "$(stat -c %s "$file")" -eq 16145 ] || fail "profile size"
at() { od -An -t"$2" -j"$1" -N"$3" "$file" | tr -d ' '; }
[ "$(at 13 u4 4)" = 0 ] || fail "mode at 13 is not Time"
[ "$(at 28 u1 1)" = 1 ] || fail "forceAction at 28 is not set"
[ "$(at 471 u1 1)" = 1 ] || fail "bringToFront at 471 is not set"
[ "$(at 472 u4 4)" = 120 ] || fail "bringToFrontSeconds at 472 is not 120"
[ "$(at 16126 u1 1)" = 1 ] || fail "advanceDate at 16126 is not set"
days=$(at 16110 u4 4)
[ "$days" -le 1 ] || fail "endDaysAhead at 16110 is $days, not the sheet's"

cd "$work/app"
e2e_start_sentinel
wine Sopora.exe &
program_pid=$!
wine "$press_start" || fail "the settings dialog did not appear"
started=$(date +%s)
e2e_wait_while_running "$program_pid" 300
kill -0 "$program_pid" 2>/dev/null && fail "the countdown did not end the session within 300s"
elapsed=$(( $(date +%s) - started ))
[ "$elapsed" -ge 110 ] || fail "ended after ${elapsed}s, before the countdown was due"
e2e_expect_session_ended sopora_error.txt
echo "the session ended after ${elapsed}s, as planned"
