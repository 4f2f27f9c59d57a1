#!/usr/bin/env bash
# The tests run with a home of their own in the build tree; this checks that a
# run leaves the real one alone. Run with the environment CTest itself has:
#   real_home.sh snapshot SNAPSHOT SKIP...   lists the real home before the run
#   real_home.sh compare SNAPSHOT SKIP...    fails naming every path it gained
# The real home is HOME together with any XDG_*_HOME folder set outside it.
# SKIP are folders left out of the listing (the source and build trees, which
# the run writes by design, wherever they lie).
set -euo pipefail

usage() { echo "usage: real_home.sh snapshot|compare SNAPSHOT [SKIP...]" >&2; exit 2; }
[ $# -ge 2 ] || usage
mode=$1 snapshot=$2
shift 2

fail() { echo "real home check: $*" >&2; exit 1; }

home=${HOME:-}
[ -n "$home" ] || fail "HOME is not set, so there is no real home to check"
home=$(realpath -m "$home")
[ "$home" != / ] || fail "HOME is /, which holds the whole system: give the run a home folder"
roots=("$home")
for name in XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME XDG_STATE_HOME; do
  value=${!name:-}
  [ -n "$value" ] || continue
  value=$(realpath -m "$value")
  case "$value/" in "$home"/*) ;; *) roots+=("$value") ;; esac
done

# The first record names the roots, so a snapshot of another home never passes.
header="real home snapshot: ${roots[*]}"

# Every path under the roots, one per NUL-terminated record, sorted.
listing() {
  local root prune=() skip
  for skip in "$@"; do
    prune+=(-path "$(realpath -m "$skip")" -o)
  done
  for root in "${roots[@]}"; do
    [ -d "$root" ] || continue
    [ -r "$root" ] && [ -x "$root" ] || fail "$root cannot be read"
    # Folders of the home that cannot be read are left out; the root itself is
    # always listed, which the comparison relies on.
    find "$root" -xdev \( "${prune[@]}" -false \) -prune -o -printf '%p\0' 2>/dev/null || true
  done | LC_ALL=C sort -z -u
}

# listing_to FILE SKIP...: the listing, refused unless it holds every root
# that exists (an empty listing would compare as unchanged).
listing_to() {
  local file=$1 root
  shift
  listing "$@" > "$file"
  for root in "${roots[@]}"; do
    [ ! -d "$root" ] || grep -qzxF -- "$root" "$file" || fail "the listing of $root came out without $root itself"
  done
}

case $mode in
  snapshot)
    mkdir -p "$(dirname "$snapshot")"
    listing_to "$snapshot.paths" "$@"
    { printf '%s\0' "$header"; cat "$snapshot.paths"; } > "$snapshot.part"
    rm -f "$snapshot.paths"
    mv "$snapshot.part" "$snapshot"
    echo "real home listed: $(tr -cd '\0' < "$snapshot" | wc -c) records of ${roots[*]}"
    ;;
  compare)
    [ -r "$snapshot" ] || fail "no listing of the real home from before the run ($snapshot): nothing to compare with"
    before=$(mktemp)
    after=$(mktemp)
    trap 'rm -f "$before" "$after"' EXIT
    cp "$snapshot" "$before"
    # A listing is used once: a later run lists the home afresh.
    rm -f "$snapshot"
    first=$(head -z -n1 "$before" | tr -d '\0')
    [ "$first" = "$header" ] || fail "the listing from before the run is of '${first#real home snapshot: }', not of ${roots[*]}"
    tail -z -n +2 "$before" > "$before.paths" && mv "$before.paths" "$before"
    # A root that existed before is in its own listing; one that did not must
    # still be missing, or every path in it is new.
    listing_to "$after" "$@"
    new=$(LC_ALL=C comm -z -13 "$before" "$after" | tr '\0' '\n')
    if [ -n "$new" ]; then
      echo "the run wrote into the real home (${roots[*]}); new since the start:" >&2
      printf '%s\n' "$new" | head -n 50 >&2
      count=$(printf '%s\n' "$new" | wc -l)
      [ "$count" -le 50 ] || echo "... and $((count - 50)) more" >&2
      exit 1
    fi
    echo "real home unchanged: $(tr -cd '\0' < "$before" | wc -c) paths listed before and after"
    ;;
  *) usage ;;
esac
