#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test under Wine and Xvfb.
set -euo pipefail
source "$(dirname "$0")/common.sh"
ensure_setup
configure_and_build
cd "$build"
xvfb-run -a -s '-screen 0 1280x800x24' ctest --output-on-failure -j"$(nproc)" "$@"
