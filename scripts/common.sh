# Shared by run.sh and test.sh: install what is missing, then configure and build.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${SOPORA_BUILD_DIR:-$here/build}

ensure_setup() {
  if [ "$(id -u)" -eq 0 ]; then
    bash "$here/scripts/setup.sh"
  else
    sudo bash "$here/scripts/setup.sh"
  fi
}

configure_and_build() {
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686.cmake"
  cmake --build "$build" -j"$(nproc)"
}

export WINEPREFIX=$build/wineprefix WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mshtml=d;mscoree=d"
