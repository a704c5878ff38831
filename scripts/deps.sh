#!/usr/bin/env bash
# Installs the Debian packages the build, the demo and the tests need, when
# any of them is missing. Needs root (or sudo) only when something is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libsdl2-dev libgl1 libgl1-mesa-dri libglu1-mesa libegl1 libegl-mesa0
  googletest libgtest-dev libpng-dev
  clang libclang-rt-14-dev
  xvfb xauth xdotool x11-utils imagemagick xfonts-base
  valgrind
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
