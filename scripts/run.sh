#!/usr/bin/env bash
# Runs Tabula in a Wine virtual desktop the size of a Pocket PC screen (240x320, TABULA_SCREEN to
# change it) with a task bar and its notification area, on your display. Tabula keeps its own Wine
# prefix (TABULA_PREFIX, default ~/.local/share/tabula/prefix), so your menu survives between runs;
# your default prefix is never touched. Tap the icon at the bottom right; "Exit" ends it.
#
# Without a display ($DISPLAY unset: a server, CI) it runs the same on a virtual X server, taps the
# icon, opens "Configuration", saves screenshots under <build>/screenshots/run/, prints their paths,
# chooses "Exit" (answering No) and ends.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${TABULA_BUILD_DIR:-$root/build}"
export WINEPREFIX="${TABULA_PREFIX:-${XDG_DATA_HOME:-$HOME/.local/share}/tabula/prefix}"
export WINEDEBUG=${WINEDEBUG:--all}

# The tour without a display, run inside the prepared prefix on the virtual X server.
tour() {
  local driver="$build/tests/e2e/tabula_e2e.exe" shots="$build/screenshots/run"
  drv() { wine "$driver" "$@" 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }
  shot() { import -window root -crop "${width}x${height}+0+0" +repage "$shots/$1.png" && echo "$shots/$1.png"; }
  menu() {
    xdotool mousemove $((width - 11)) $((height - 10)) click 1
    read -r left top right bottom < <(drv wait-menu 10000) || { echo "The menu did not open." >&2; return 1; }
  }
  mkdir -p "$shots"
  wine "$build/tabula.exe" </dev/null >/dev/null 2>&1 &
  local pid=$!
  drv wait-main 20000 || { echo "Tabula did not start." >&2; return 1; }
  read -r width height < <(drv screen)
  sleep 0.5   # the icon is added right after the window

  menu && shot menu
  xdotool mousemove $(((left + right) / 2)) $((bottom - 35)) click 1   # Configuration
  if drv wait-window '#32770' '' 10000 >/dev/null; then
    sleep 0.5
    shot settings
    drv close-window '#32770' '' >/dev/null
  fi
  sleep 0.5
  menu
  xdotool mousemove $(((left + right) / 2)) $((bottom - 15)) click 1   # Exit
  drv wait-window '#32770' 'Run on startup setting' 10000 >/dev/null && shot exit-question
  drv click-button 'Run on startup setting' 7 >/dev/null   # No: no startup shortcut
  wait "$pid"
}

if [ "${1:-}" = --tour ]; then
  tour
  exit
fi

"$root/scripts/setup.sh"
"$root/scripts/build.sh" >/dev/null
mkdir -p "$WINEPREFIX"
if [ -n "${DISPLAY:-}" ]; then
  echo "Tabula runs in the Wine desktop window; tap its icon at the bottom right. Prefix: $WINEPREFIX"
  exec "$root/scripts/wine-prefix.sh" wine "$build/tabula.exe"
fi
echo "No display: a tour on a virtual X server. Screenshots:"
exec xvfb-run -a -s "-screen 0 1024x768x24" "$root/scripts/wine-prefix.sh" "$0" --tour
