#!/usr/bin/env bash
# Sets up the machine, builds both targets and runs every test under Wine and
# Xvfb on the build this host can run (SOPORA_TEST_ARCH=i686|x86_64 forces one).
set -euo pipefail
source "$(dirname "$0")/common.sh"
choose_run_arch
echo "== testing the $run_arch build: $run_arch_why"
ensure_setup
# The i686 programs are the deliverables; the x86_64 build keeps the sources
# 64-bit clean. Both build on every host.
configure_and_build i686
configure_and_build x86_64
cd "$(build_dir_for "$run_arch")"
rc=0
xvfb-run -a -s '-screen 0 1280x800x24' ctest --output-on-failure -j"$(nproc)" "$@" || rc=$?
echo "== tested the $run_arch build: $run_arch_why"
exit $rc
