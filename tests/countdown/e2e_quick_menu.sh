#!/usr/bin/env bash
# A user's run of the real countdown program with no profile: ".\sopora.ini"
# makes the first end entry "2分後"; the right click on the dialog, that entry,
# then "開始". The real ExitWindowsEx ends every process of this test's own Wine
# prefix (never the machine); we watch from outside.
#   e2e_quick_menu.sh <Sopora.exe> <press_start.exe> <wineprefix.sh>
set -euo pipefail
program=$1 press_start=$2 prepare=$3
source "$(dirname "$0")/../support/e2e_session.sh"
e2e_begin "$program" "$prepare"
printf '[Menu1]\r\nvalue1=2\r\ncombo1=0\r\n' > "$work/app/sopora.ini"

cd "$work/app"
e2e_start_sentinel
wine Sopora.exe &
program_pid=$!
wine "$press_start" quick 1 || fail "the quick menu entry could not be chosen"
started=$(date +%s)
# The end lies two minutes after the choice, at whole minutes: 60-120 s.
e2e_wait_while_running "$program_pid" 240
kill -0 "$program_pid" 2>/dev/null && fail "the countdown did not end the session within 240s"
elapsed=$(( $(date +%s) - started ))
[ "$elapsed" -ge 50 ] || fail "ended after ${elapsed}s, before the countdown was due"
e2e_expect_session_ended sopora_error.txt
[ ! -e profile ] || [ -z "$(ls profile)" ] || fail "a profile was written"
echo "the session ended after ${elapsed}s, as planned"
