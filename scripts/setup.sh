#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Tabula need.
# Idempotent: quiet when everything is present.
set -euo pipefail

# fonts-wine brings Tahoma, the device's interface font, and Marlett, which the caption buttons are drawn with;
# nlohmann-json3-dev the header-only JSON library that reads and writes menu files.
packages=(cmake ninja-build g++-mingw-w64-x86-64-posix googletest nlohmann-json3-dev wine wine64 fonts-wine
          xvfb xauth xdotool imagemagick x11-utils python3)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
