#!/usr/bin/env bash
# Runs Tabula in a Wine virtual desktop the size of a Pocket PC screen (240x320, TABULA_SCREEN to
# change it) with a task bar and its notification area, on your display. Tabula keeps its own Wine
# prefix (TABULA_PREFIX, default ~/.local/share/tabula/prefix), so your menu survives between runs;
# your default prefix is never touched. Tap the icon at the bottom right; "Exit" ends it.
#
# Without a display ($DISPLAY unset: a server, CI) it runs the same on a virtual X server and takes a
# tour (tools/screenshots.sh): it taps the icon, opens "Configuration" with both tabs and the Add Section
# dialog, chooses "Exit" (answering No), saves screenshots under <build>/screenshots/run/ and prints their
# paths.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${TABULA_BUILD_DIR:-$root/build}"
export WINEPREFIX="${TABULA_PREFIX:-${XDG_DATA_HOME:-$HOME/.local/share}/tabula/prefix}"
export WINEDEBUG=${WINEDEBUG:--all}

"$root/scripts/setup.sh"
"$root/scripts/build.sh" >/dev/null
mkdir -p "$WINEPREFIX"
if [ -n "${DISPLAY:-}" ]; then
  echo "Tabula runs in the Wine desktop window; tap its icon at the bottom right. Prefix: $WINEPREFIX"
  exec "$root/scripts/wine-prefix.sh" wine "$build/tabula.exe"
fi
echo "No display: a tour on a virtual X server. Screenshots:"
TABULA_TOUR_PREFIX=$WINEPREFIX TABULA_SCREENS=${TABULA_SCREEN:-240x320} exec "$root/tools/screenshots.sh" \
  "$build/screenshots/run"
