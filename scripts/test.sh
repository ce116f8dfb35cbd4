#!/usr/bin/env bash
# Builds everything and runs every test under Wine on a virtual X server, in a throwaway Wine prefix
# that is removed afterwards. Extra arguments go to ctest (for instance -R Menu).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
build="${TABULA_BUILD_DIR:-$root/build}"

WINEPREFIX=$(mktemp -d /tmp/tabula-test-prefix.XXXXXX)
export WINEPREFIX
cleanup() { wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"; }
trap cleanup EXIT

xvfb-run -a -s "-screen 0 1024x768x24" \
  "$root/scripts/wine-prefix.sh" ctest --test-dir "$build" --output-on-failure --timeout 120 "$@"
