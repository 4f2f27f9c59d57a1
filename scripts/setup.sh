#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine.
# Run as root; safe to run again (finished steps are skipped).
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
log() { printf '== %s\n' "$*"; }

if [ "$(id -u)" -ne 0 ]; then
  echo "setup.sh must run as root" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive

# --- apt: source entries, packages -------------------------------------------
source "$here/scripts/common.sh"
runs_i386=0
host_runs_i386 && runs_i386=1
need_update=0
# The 32-bit Wine only where the kernel runs i386 programs; the 64-bit Wine
# everywhere (the route of hosts without them, and the forced 64-bit route).
if [ $runs_i386 -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_update=1
fi
src=/etc/apt/sources.list.d/sopora-deb-src.sources
if [ ! -f "$src" ]; then
  cat > "$src" <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  need_update=1
fi

packages=(
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
  cmake make ninja-build pkg-config dpkg-dev perl nasm
  wine wine64 libwine xvfb xauth x11-utils xdotool imagemagick
  fonts-ipafont-gothic fonts-wine locales
  python3 python3-aiosmtpd python3-pil openssl swaks libnet-ssleay-perl
  googletest
  # Wine's media player decodes even WAV files through GStreamer of its own width.
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good
)
if [ $runs_i386 -eq 1 ]; then
  packages+=(wine32:i386 libwine:i386 gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ] || [ $need_update -eq 1 ]; then
  log "apt: installing ${missing[*]:-nothing new}"
  apt-get update -q
  [ ${#missing[@]} -eq 0 ] || apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# ja_JP.UTF-8 makes Wine's ANSI code page 932.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  log "locale: ja_JP.UTF-8"
  sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen
fi

# --- cross-built libraries, one cache per target ---------------------------
jobs=$(nproc)
build_libraries() {
  local arch=$1 deps toolchain ossl_target
  deps=$(deps_dir_for "$arch")
  toolchain=$here/cmake/mingw-$arch.cmake
  case $arch in
    i686) ossl_target=mingw ;;
    x86_64) ossl_target=mingw64 ;;
  esac
  mkdir -p "$deps/src"

  if [ ! -f "$deps/openssl/.complete" ]; then
    log "$arch: OpenSSL 3.0 from Debian's source package"
    rm -rf "$deps/openssl" "$deps/src/openssl-"*/
    (cd "$deps/src" && apt-get source -q openssl >/dev/null)
    # Its compiler warnings go to a log of their own; shown when it fails.
    if ! (cd "$(ls -d "$deps/src"/openssl-3*/ | head -n1)" &&
      ./Configure "$ossl_target" no-shared no-tests no-asm --cross-compile-prefix="$arch-w64-mingw32-" \
        --prefix="$deps/openssl" --libdir=lib &&
      make -j"$jobs" build_libs && make install_dev) >"$deps/openssl-build.log" 2>&1; then
      tail -n 40 "$deps/openssl-build.log" >&2
      exit 1
    fi
    touch "$deps/openssl/.complete"
  fi

  if [ ! -f "$deps/libjpeg/.complete" ]; then
    log "$arch: libjpeg-turbo (JPEG8 API) from Debian's source package"
    rm -rf "$deps/libjpeg" "$deps/src/libjpeg-turbo-"*/ "$deps/build-jpeg"
    (cd "$deps/src" && apt-get source -q libjpeg-turbo >/dev/null)
    local jsrc
    jsrc=$(ls -d "$deps/src"/libjpeg-turbo-*/ | head -n1)
    cmake -S "$jsrc" -B "$deps/build-jpeg" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps/libjpeg" \
      -DWITH_JPEG8=1 -DENABLE_SHARED=0 -DWITH_TURBOJPEG=0 -DWITH_SIMD=1 >/dev/null
    cmake --build "$deps/build-jpeg" -j"$jobs" >/dev/null
    cmake --install "$deps/build-jpeg" >/dev/null
    grep -q 'JPEG_LIB_VERSION  *80' "$deps/libjpeg/include/jconfig.h"
    touch "$deps/libjpeg/.complete"
  fi

  if [ ! -f "$deps/googletest/.complete" ]; then
    log "$arch: GoogleTest from /usr/src/googletest"
    rm -rf "$deps/googletest" "$deps/build-gtest"
    cmake -S /usr/src/googletest -B "$deps/build-gtest" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps/googletest" \
      -Dgtest_disable_pthreads=OFF >/dev/null
    cmake --build "$deps/build-gtest" -j"$jobs" >/dev/null
    cmake --install "$deps/build-gtest" >/dev/null
    touch "$deps/googletest/.complete"
  fi
}
# The i686 libraries serve the deliverables, the x86_64 ones the 64-bit build
# that every host compiles: both are built everywhere, side by side.
build_libraries i686 &
i686_job=$!
build_libraries x86_64
wait $i686_job

log "setup complete: libraries in $(dirname "$(deps_dir_for i686)")"
