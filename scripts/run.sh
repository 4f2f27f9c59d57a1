#!/usr/bin/env bash
# Sets up the machine, builds the programs and starts SoporaScheduler.exe under
# Wine, in its own folder (its ini file, logs and profiles live there).
set -euo pipefail
source "$(dirname "$0")/common.sh"
ensure_setup
configure_and_build
"$here/scripts/wineprefix.sh" "$WINEPREFIX"
cd "$build/engine"
export LANG=ja_JP.UTF-8
if [ -n "${DISPLAY:-}" ]; then
  exec wine SoporaScheduler.exe "$@"
else
  exec xvfb-run -a -s '-screen 0 1280x800x24' wine SoporaScheduler.exe "$@"
fi
