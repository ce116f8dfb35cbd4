#!/usr/bin/env bash
# Prepares the Wine prefix named by WINEPREFIX for Tabula (first use only), then runs the command given.
# Every program of the prefix shares one virtual desktop of TABULA_SCREEN (a Pocket PC screen by
# default), with a task bar and its notification area, at the density TABULA_DPI (96 by default).
set -uo pipefail
export WINEDEBUG=${WINEDEBUG:--all}
# No prompt to install Mono or Gecko can appear.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
screen=${TABULA_SCREEN:-240x320}

if [ ! -f "$WINEPREFIX/.tabula-ready" ]; then
  mkdir -p "$WINEPREFIX"
  # On a loaded machine a first boot now and then leaves a prefix without its system files ("could not load
  # kernel32.dll" at the next start): such a prefix is made again, up to three times.
  for attempt in 1 2 3; do
    wineboot -i >/dev/null 2>&1
    wineserver -w 2>/dev/null || true
    [ -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ] && break
    echo "wine-prefix.sh: the prefix was not made whole (attempt $attempt); making it again" >&2
    wineserver -k 2>/dev/null || true
    find "$WINEPREFIX" -mindepth 1 -delete 2>/dev/null || true
  done
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  # Wine's own fonts (Tahoma, and Marlett for the caption buttons) from fonts-wine, which this Wine does not look up.
  cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
  # Text files open in Notepad, as on Windows (Wine knows the class but does not map ".txt" to it).
  wine reg add 'HKCR\.txt' /ve /d txtfile /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.tabula-ready"
fi
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$screen" /f >/dev/null 2>&1
wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels \
  /t REG_DWORD /d "${TABULA_DPI:-96}" /f >/dev/null 2>&1
# The desktop takes its size, and the server the density, when they start.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
# A persistent wineserver keeps every later program's start short.
wineserver -p
# Start the desktop and the prefix's services now, away from the caller's output pipes: a program
# that started them would leave them holding its output open.
wine cmd /c exit </dev/null >/dev/null 2>&1
"$@"
status=$?
wineserver -k 2>/dev/null || true
exit $status
