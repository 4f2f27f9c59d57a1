#!/usr/bin/env bash
# A user's run of the real program: a date-mode profile with one shutdown 30 s
# ahead, started with "start:<name>". At zero the real ExitWindowsEx ends every
# process of this test's own Wine prefix (never the machine); we watch from outside.
set -euo pipefail
scheduler=$1 make_profile=$2 prepare=$3
source "$(dirname "$0")/../support/e2e_session.sh"
e2e_begin "$scheduler" "$prepare"

cd "$work/app"
e2e_start_sentinel
# The item is due 30 s after this, its seconds cut: 29 s at the least.
due=$(( $(date +%s) + 29 ))
wine "$make_profile" "$(winepath -w "$work/app")\\" e2e 30 || fail "the profile was not saved"
[ "$(stat -c %s "$work/app/profile/scheduler/e2e.dat")" -eq 222658 ] || fail "profile size"
kill -0 "$sentinel" 2>/dev/null || fail "the other user program ended before the run"

started=$(date +%s)
wine SoporaScheduler.exe start:e2e &
program=$!
# Watch until the program ends, for two minutes at most.
e2e_wait_while_running "$program" 120
kill -0 "$program" 2>/dev/null && fail "the countdown did not end the session within two minutes"
ended=$(date +%s)
elapsed=$(( ended - started ))
[ "$ended" -ge "$due" ] || fail "ended $(( due - ended ))s before the item was due"
e2e_expect_session_ended Scheduler_error.txt
echo "the session ended after ${elapsed}s, as planned"
