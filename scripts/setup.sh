#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine.
# Run as root; safe to run again (finished steps are skipped).
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
deps=${SOPORA_DEPS_DIR:-$here/.deps}
log() { printf '== %s\n' "$*"; }

if [ "$(id -u)" -ne 0 ]; then
  echo "setup.sh must run as root" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive

# --- apt: i386 architecture, source entries, packages -----------------------
need_update=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
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
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-tools
  cmake make ninja-build pkg-config dpkg-dev perl nasm
  wine wine32:i386 xvfb xauth x11-utils xdotool imagemagick
  fonts-ipafont-gothic fonts-wine locales
  python3 python3-aiosmtpd python3-pil openssl swaks libnet-ssleay-perl
  googletest
  # Wine's media player decodes even WAV files through 32-bit GStreamer.
  gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386
)
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

# --- cross-built libraries --------------------------------------------------
mkdir -p "$deps/src"
toolchain=$here/cmake/mingw-i686.cmake
jobs=$(nproc)

if [ ! -f "$deps/openssl/.complete" ]; then
  log "OpenSSL 3.0 from Debian's source package"
  rm -rf "$deps/openssl" "$deps/src/openssl-"*/
  (cd "$deps/src" && apt-get source -q openssl >/dev/null)
  cd "$(ls -d "$deps/src"/openssl-3*/ | head -n1)"
  ./Configure mingw no-shared no-tests no-asm --cross-compile-prefix=i686-w64-mingw32- \
    --prefix="$deps/openssl" --libdir=lib >/dev/null
  make -j"$jobs" build_libs >/dev/null
  make install_dev >/dev/null
  touch "$deps/openssl/.complete"
  cd "$here"
fi

if [ ! -f "$deps/libjpeg/.complete" ]; then
  log "libjpeg-turbo (JPEG8 API) from Debian's source package"
  rm -rf "$deps/libjpeg" "$deps/src/libjpeg-turbo-"*/ "$deps/build-jpeg"
  (cd "$deps/src" && apt-get source -q libjpeg-turbo >/dev/null)
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
  log "GoogleTest from /usr/src/googletest"
  rm -rf "$deps/googletest" "$deps/build-gtest"
  cmake -S /usr/src/googletest -B "$deps/build-gtest" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps/googletest" \
    -Dgtest_disable_pthreads=OFF >/dev/null
  cmake --build "$deps/build-gtest" -j"$jobs" >/dev/null
  cmake --install "$deps/build-gtest" >/dev/null
  touch "$deps/googletest/.complete"
fi


# The Wine prefix the default build tree's tests run in.
"$here/scripts/wineprefix.sh" "${SOPORA_BUILD_DIR:-$here/build}/wineprefix"
log "setup complete: libraries in $deps"
