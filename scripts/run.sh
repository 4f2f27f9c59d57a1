#!/usr/bin/env bash
# Sets up the machine, builds the programs and starts SoporaScheduler.exe under
# Wine, in its own folder (its ini file, logs and profiles live there): the
# i686 build where the host runs 32-bit programs, else the x86_64 build.
set -euo pipefail
source "$(dirname "$0")/common.sh"
choose_run_arch
ensure_setup
configure_and_build "$run_arch"
build=$(build_dir_for "$run_arch")
use_wine "$run_arch" "$build/wineprefix"
"$here/scripts/wineprefix.sh" "$WINEPREFIX"
echo "== starting the $run_arch build: $run_arch_why"
cd "$build/engine"
export LANG=ja_JP.UTF-8
if [ -n "${DISPLAY:-}" ]; then
  exec wine SoporaScheduler.exe "$@"
else
  exec xvfb-run -a -s '-screen 0 1280x800x24' wine SoporaScheduler.exe "$@"
fi
