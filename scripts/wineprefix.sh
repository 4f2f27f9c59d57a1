#!/usr/bin/env bash
# Prepares a Wine prefix for running the programs and their tests, with fonts
# for Japanese text and the fonts GDI+ expects. WINEARCH picks the kind:
# win32 (the default) or win64, which runs under the 64-bit loader.
set -euo pipefail
prefix=$(realpath -m "${1:?usage: wineprefix.sh PREFIX}")
stamp=$prefix/.sopora-ready
[ -f "$stamp" ] && exit 0

export WINEARCH=${WINEARCH:-win32}
if [ "$WINEARCH" = win64 ]; then
  export PATH=$(cd "$(dirname "$0")" && pwd)/wine64:$PATH
fi
export WINEPREFIX=$prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe,mshtml,mscoree=d"
mkdir -p "$prefix"
# On a loaded machine wineboot now and then ends before the prefix holds its
# system DLLs; every later start then fails to load kernel32.dll. Try again.
for attempt in 1 2 3; do
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  [ -e "$prefix/drive_c/windows/system32/kernel32.dll" ] && break
  echo "wineboot left $prefix without its system DLLs (attempt $attempt)" >&2
  wineserver -k 2>/dev/null || true
done
[ -e "$prefix/drive_c/windows/system32/kernel32.dll" ] || { echo "could not prepare the Wine prefix $prefix" >&2; exit 1; }

fonts=$prefix/drive_c/windows/Fonts
mkdir -p "$fonts"
cp -f /usr/share/wine/fonts/*.ttf "$fonts"/ 2>/dev/null || true
for f in /usr/share/fonts/opentype/ipafont-gothic/*.ttf /usr/share/fonts/truetype/fonts-japanese-gothic.ttf; do
  [ -e "$f" ] && cp -fL "$f" "$fonts"/
done

# Written inside the prefix, so that a run leaves nothing elsewhere.
reg=$(mktemp --suffix=.reg -p "$prefix")
cat > "$reg" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"メイリオ"="IPAPGothic"
"Meiryo"="IPAPGothic"
"Meiryo UI"="IPAPGothic"
"MS UI Gothic"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"ＭＳ Ｐゴシック"="IPAPGothic"
"MS Shell Dlg"="Tahoma"

; With no window manager on the test display, a managed window that hides
; waits two seconds for a withdrawal that never comes.
[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
REG
# regedit takes the Japanese names from a UTF-16LE file with a byte-order mark.
{ printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$reg"; } > "$reg.u16"
mv "$reg.u16" "$reg"
wine regedit /S "$(winepath -w "$reg")" >/dev/null 2>&1
rm -f "$reg" "$reg.u16"
wineserver -w
touch "$stamp"
