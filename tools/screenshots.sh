#!/usr/bin/env bash
# Pictures of the running program for a human to look at: the tap menu with its first entry highlighted, the three tabs
# of the settings window, the Add Section dialog, the find box and the exit question, on a 240x320 screen and on a 320x240 one.
# Usage: tools/screenshots.sh [folder]   (default <build>/screenshots/tour)
# Writes <screen>-<step>.png files there (and <screen>-stopped.png where the tour stopped) and prints their paths. Runs
# build/tools/tabula_tour.exe on a virtual X server, in a throwaway Wine prefix, or in the prefix TABULA_TOUR_PREFIX names
# (kept as it is); TABULA_SCREENS lists the screens (default "240x320 320x240"). With TABULA_CONTRAST=1 the pictures show a high-contrast scheme, with
# TABULA_THEME=dark the dark look of a system that asks programs for dark colours.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${TABULA_BUILD_DIR:-$root/build}"
out=$(mkdir -p "${1:-$build/screenshots/tour}" && cd "${1:-$build/screenshots/tour}" && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" >/dev/null

if [ -n "${TABULA_TOUR_PREFIX:-}" ]; then
  export WINEPREFIX=$TABULA_TOUR_PREFIX
  mkdir -p "$WINEPREFIX"
else
  WINEPREFIX=$(mktemp -d /tmp/tabula-tour-prefix.XXXXXX)
  export WINEPREFIX
  trap 'wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
fi

# Wine sees the Unix file system as drive Z:.
windows() { local path=${1//\//\\}; echo "Z:$path"; }
status=0
for screen in ${TABULA_SCREENS:-240x320 320x240}; do
  rm -f "$out/$screen"-*.bmp "$out/$screen"-*.png
  TABULA_SCREEN=$screen xvfb-run -a -s "-screen 0 1024x768x24" "$root/scripts/wine-prefix.sh" \
    wine "$build/tools/tabula_tour.exe" "$(windows "$build/tabula.exe")" "$(windows "$out/$screen-")" \
    </dev/null >/dev/null || status=$?
  for shot in "$out/$screen"-*.bmp; do
    [ -e "$shot" ] || continue
    convert "$shot" "${shot%.bmp}.png"
    rm -f "$shot"
    echo "${shot%.bmp}.png"
  done
done
exit $status
