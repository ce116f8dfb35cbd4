#!/usr/bin/env bash
# Runs a Windows program under Wine for the tests (CMake's emulator for the cross build). On a loaded machine Wine has
# been seen to end at once, failing, before the program printed anything at all; such a run, and only such a run, is
# started once more, and says so on standard error. A program that printed anything is never run again.
set -uo pipefail
err=$(mktemp) out=$(mktemp)
trap 'rm -f "$err" "$out"' EXIT
for attempt in 1 2; do
  wine "$@" 2>"$err" | tee "$out"
  status=${PIPESTATUS[0]}
  cat "$err" >&2
  if [ "$status" -eq 0 ] || [ -s "$out" ] || [ -s "$err" ] || [ "$attempt" -eq 2 ]; then
    exit "$status"
  fi
  echo "wine-run.sh: Wine ended with $status before the program printed anything; starting it once more" >&2
done
