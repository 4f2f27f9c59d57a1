# Shared by setup.sh, run.sh and test.sh: which build this host can run, where
# it lives, and the Wine set-up for it.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# True where the kernel runs i386 programs (some hosts boot with IA-32
# emulation off): a 96-byte static i386 program that exits with 42.
host_runs_i386() {
  local probe rc=0
  probe=$(mktemp)
  printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' > "$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null || rc=$?
  rm -f "$probe"
  [ "$rc" -eq 42 ]
}

# Sets run_arch (i686 or x86_64) and run_arch_why. SOPORA_TEST_ARCH forces it.
choose_run_arch() {
  case "${SOPORA_TEST_ARCH:-}" in
    i686|x86_64)
      run_arch=$SOPORA_TEST_ARCH
      run_arch_why="forced by SOPORA_TEST_ARCH=$SOPORA_TEST_ARCH" ;;
    "")
      if host_runs_i386; then
        run_arch=i686
        run_arch_why="this host runs 32-bit programs: the i686 deliverables under 32-bit Wine"
      else
        run_arch=x86_64
        run_arch_why="this host runs no 32-bit programs (IA-32 emulation off): the x86_64 build under 64-bit Wine"
      fi ;;
    *)
      echo "SOPORA_TEST_ARCH must be i686 or x86_64, not '$SOPORA_TEST_ARCH'" >&2
      return 1 ;;
  esac
}

build_dir_for() {
  case "$1" in
    i686) echo "${SOPORA_BUILD_DIR:-$here/build}" ;;
    x86_64) echo "${SOPORA_BUILD64_DIR:-$here/build64}" ;;
  esac
}
deps_dir_for() { echo "${SOPORA_DEPS_DIR:-$here/.deps}/$1"; }

ensure_setup() {
  if [ "$(id -u)" -eq 0 ]; then
    bash "$here/scripts/setup.sh"
  else
    sudo --preserve-env=SOPORA_TEST_ARCH,SOPORA_DEPS_DIR bash "$here/scripts/setup.sh"
  fi
}

configure_and_build() {
  local arch=$1 dir
  dir=$(build_dir_for "$arch")
  cmake -S "$here" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-$arch.cmake" \
    -DSOPORA_DEPS_DIR="$(deps_dir_for "$arch")"
  cmake --build "$dir" -j"$(nproc)"
}

# The Wine of one build: its loader, its prefix kind, and a prefix.
use_wine() {
  local arch=$1 prefix=$2
  if [ "$arch" = x86_64 ]; then
    export PATH=$here/scripts/wine64:$PATH WINEARCH=win64
  else
    export WINEARCH=win32
  fi
  export WINEPREFIX=$prefix WINEDEBUG=-all
  export WINEDLLOVERRIDES="winemenubuilder.exe,mshtml,mscoree=d"
}
