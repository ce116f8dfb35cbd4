#!/usr/bin/env bash
# Pictures of the settings window for a human to look at: both tabs, the Add Section dialog, a refusal
# and the open section box, on a 240x320 screen, after it turns to 320x240, and on a 320x240 screen.
# Writes PNG files to the folder given as the first argument (default: <build>/screenshots/config)
# and prints their paths ("turned-" pictures: taken after the screen turned under the open window).
# Uses a throwaway Wine prefix on a virtual X server.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build="${TABULA_BUILD_DIR:-$root/build}"
out=$(mkdir -p "${1:-$build/screenshots/config}" && cd "${1:-$build/screenshots/config}" && pwd)
"$root/scripts/build.sh" >/dev/null

WINEPREFIX=$(mktemp -d /tmp/tabula-shots-prefix.XXXXXX)
export WINEPREFIX
cleanup() { wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"; }
trap cleanup EXIT

rm -f "$out"/*.bmp "$out"/*.png
shoot() {   # screen size, then extra environment
  env TABULA_SCREEN="$1" "${@:2}" xvfb-run -a -s "-screen 0 1024x768x24" "$root/scripts/wine-prefix.sh" \
    bash -c 'TABULA_SHOTS=$(winepath -w "$1") wine "$2" --gtest_also_run_disabled_tests \
             --gtest_filter="SettingsScreens.*"' _ "$out" "$build/tests/tabula_tests.exe"
}
# Portrait, then the same window after the screen turns; then a landscape screen from the start.
shoot 240x320 TABULA_TURN=1
shoot 320x240

for shot in "$out"/*.bmp; do
  convert "$shot" "${shot%.bmp}.png"
  rm -f "$shot"
  echo "${shot%.bmp}.png"
done
