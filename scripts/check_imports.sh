#!/usr/bin/env bash
# Fails when a program imports anything but DLLs that every Windows ships, so
# each .exe runs alone (no mingw runtime, OpenSSL or libjpeg DLL beside it).
set -euo pipefail
objdump=${1:?usage: check_imports.sh OBJDUMP EXE...}
shift
allowed='^(kernel32|user32|gdi32|advapi32|shell32|shlwapi|ole32|oleaut32|comctl32|comdlg32|gdiplus|ws2_32|crypt32|wininet|pdh|msvcrt|winmm|quartz|uxtheme|version|powrprof|msimg32|bcrypt|secur32|iphlpapi|dnsapi|userenv|imm32|winspool\.drv|api-ms-win-[a-z0-9-]+)\.dll$'
status=0
for exe in "$@"; do
  while read -r dll; do
    if ! printf '%s\n' "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$allowed"; then
      echo "$exe imports $dll, which Windows does not ship" >&2
      status=1
    fi
  done < <("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
done
exit $status
