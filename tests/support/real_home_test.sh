#!/usr/bin/env bash
# The real-home check against homes made up in a folder of the build tree:
# it passes only on an unchanged home and names what a run added; and every
# other test of the build runs between its listing and its comparison.
# Usage: real_home_test.sh CHECK_SCRIPT WORK_FOLDER CTEST BUILD_FOLDER
set -uo pipefail
check=$1
work=$2
ctest=$3
build=$4
rm -rf "$work"
mkdir -p "$work"
failures=0

# expect PASS|FAIL TEXT NAME -- ENV... : runs the command line after --
# (through env) and wants its outcome, and TEXT in its output when not empty.
expect() {
  local want=$1 text=$2 name=$3 out rc=0
  shift 4
  out=$(env "$@" 2>&1) || rc=$?
  local got=PASS
  [ $rc -eq 0 ] || got=FAIL
  if [ "$got" != "$want" ] || { [ -n "$text" ] && ! grep -qF -- "$text" <<<"$out"; }; then
    echo "NOT OK: $name: wanted $want${text:+ with '$text'}, got $got (exit $rc):" >&2
    sed 's/^/    /' <<<"$out" >&2
    failures=$((failures + 1))
  else
    echo "ok: $name"
  fi
}

# fresh NAME: a home with a few files and an empty snapshot place.
fresh() {
  home=$work/$1/home
  snap=$work/$1/snapshot
  mkdir -p "$home/.config/app" "$home/skipped"
  touch "$home/.profile" "$home/.config/app/settings"
}

fresh unchanged
expect PASS "" "snapshot" -- HOME="$home" "$check" snapshot "$snap"
expect PASS "unchanged" "an untouched home passes" -- HOME="$home" "$check" compare "$snap"

fresh gained
env HOME="$home" "$check" snapshot "$snap" >/dev/null
mkdir -p "$home/.cache/fontconfig"
touch "$home/.cache/fontconfig/new-cache"
expect FAIL "$home/.cache/fontconfig/new-cache" "a new file is named" -- HOME="$home" "$check" compare "$snap"

fresh nested
env HOME="$home" "$check" snapshot "$snap" >/dev/null
touch "$home/.config/app/other"
expect FAIL "$home/.config/app/other" "a new file in an existing folder is named" -- HOME="$home" "$check" compare "$snap"

fresh missing
expect FAIL "nothing to compare with" "no snapshot fails" -- HOME="$home" "$check" compare "$snap"

fresh used
env HOME="$home" "$check" snapshot "$snap" >/dev/null
env HOME="$home" "$check" compare "$snap" >/dev/null
expect FAIL "nothing to compare with" "a snapshot serves one comparison" -- HOME="$home" "$check" compare "$snap"

fresh empty
: > "$snap"
expect FAIL "the listing from before the run" "an empty snapshot fails" -- HOME="$home" "$check" compare "$snap"

fresh unreadable
env HOME="$home" "$check" snapshot "$snap" >/dev/null
chmod 000 "$snap"
if [ "$(id -u)" -ne 0 ]; then
  expect FAIL "nothing to compare with" "an unreadable snapshot fails" -- HOME="$home" "$check" compare "$snap"
fi
chmod 644 "$snap"

fresh otherhome
env HOME="$home" "$check" snapshot "$snap" >/dev/null
mkdir -p "$work/otherhome/second"
expect FAIL "not of $work/otherhome/second" "a snapshot of another home fails" -- HOME="$work/otherhome/second" "$check" compare "$snap"

fresh skipped
env HOME="$home" "$check" snapshot "$snap" "$home/skipped" >/dev/null
touch "$home/skipped/build-output"
expect PASS "unchanged" "a skipped folder (the build tree) may change" -- HOME="$home" "$check" compare "$snap" "$home/skipped"

fresh xdg
mkdir -p "$work/xdg/cache"
env HOME="$home" XDG_CACHE_HOME="$work/xdg/cache" "$check" snapshot "$snap" >/dev/null
touch "$work/xdg/cache/new"
expect FAIL "$work/xdg/cache/new" "an XDG folder outside the home is checked too" -- HOME="$home" XDG_CACHE_HOME="$work/xdg/cache" "$check" compare "$snap"

fresh created
rm -rf "$home"
env HOME="$home" "$check" snapshot "$snap" >/dev/null
mkdir -p "$home/.config"
expect FAIL "$home/.config" "a home made during the run fails" -- HOME="$home" "$check" compare "$snap"

expect FAIL "HOME is not set" "no HOME fails" -- -u HOME "$check" snapshot "$work/nohome"
expect FAIL "HOME is /" "HOME=/ fails" -- HOME=/ "$check" snapshot "$work/roothome"

# The fixture holds every test: one outside it could write into the home after
# the comparison, or before the listing.
if outside=$("$ctest" --test-dir "$build" --show-only=json-v1 | /usr/bin/python3 -c '
import json, sys
tests = json.load(sys.stdin)["tests"]
assert len(tests) > 2, "no tests listed"
def prop(test, name):
    return next((p["value"] for p in test.get("properties", []) if p["name"] == name), [])
for test in tests:
    if test["name"] == "real_home_before":
        assert prop(test, "FIXTURES_SETUP") == ["real_home"], "real_home_before sets up no fixture"
    elif test["name"] == "real_home_after":
        assert prop(test, "FIXTURES_CLEANUP") == ["real_home"], "real_home_after cleans up no fixture"
    elif "real_home" not in prop(test, "FIXTURES_REQUIRED"):
        print(test["name"])
'); then
  if [ -n "$outside" ]; then
    echo "NOT OK: tests outside the real-home fixture:" $outside >&2
    failures=$((failures + 1))
  else
    echo "ok: every test runs between the listing and the comparison"
  fi
else
  echo "NOT OK: the tests of $build could not be listed" >&2
  failures=$((failures + 1))
fi

rm -rf "$work"
[ $failures -eq 0 ] || { echo "$failures case(s) failed" >&2; exit 1; }
