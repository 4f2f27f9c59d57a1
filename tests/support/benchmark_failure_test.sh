#!/usr/bin/env bash
# A benchmark's failure path: one round as it is must print its figures (the
# line with its goal), and a run broken by the given settings must end with a
# non-zero exit, the failed operation and its round, and no figures.
# Usage: benchmark_failure_test.sh WORK EMULATOR BENCHMARK EXPECTED SETTING...
#   WORK      a folder of the build tree, made afresh
#   EXPECTED  text the failure report holds (the operation and its round)
#   SETTING   VAR=VALUE for the broken run, or mkdir:PATH for a folder to make
#             under WORK first (one that stands where the benchmark writes a file)
set -uo pipefail
work=$1 emulator=$2 benchmark=$3 expected=$4
shift 4
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work"
settings=()
for setting in "$@"; do
  case $setting in
    mkdir:*) mkdir -p "$work/${setting#mkdir:}" ;;
    *=*) settings+=("$setting") ;;
    *) fail "unknown setting '$setting'" ;;
  esac
done

rc=0
out=$("$emulator" "$benchmark" 1 2>&1) || rc=$?
printf '%s\n' "== one round as it is (exit $rc):" "$out"
[ $rc -eq 0 ] || fail "the benchmark as it is failed"
grep -qiwE "ratios?" <<<"$out" && grep -qw "goal" <<<"$out" || fail "the benchmark as it is printed no figures"

rc=0
out=$(env "${settings[@]}" "$emulator" "$benchmark" 3 2>&1) || rc=$?
printf '%s\n' "== three rounds with ${settings[*]} (exit $rc):" "$out"
[ $rc -ne 0 ] || fail "the broken run ended with exit 0"
[ $rc -ne 2 ] || fail "the broken run ended with the usage's exit 2"
grep -q "^FAILED .*3 rounds\|^FAILED in round [0-9]* of 3" <<<"$out" || fail "no FAILED line naming the round out of 3"
grep -qF -- "$expected" <<<"$out" || fail "the report does not name '$expected'"
! grep -qiwE "ratios?|goal" <<<"$out" || fail "the broken run printed figures"
rm -rf "$work"
echo "ok"
