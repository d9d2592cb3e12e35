#!/usr/bin/env bash
# Installs every Debian 12 package the build, the tests and the screenshot run need.
# Idempotent: packages already present are left alone, so a second run costs a dpkg query.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev libgl1-mesa-dev
  libcurl4-openssl-dev libpugixml-dev nlohmann-json3-dev libpcre2-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcpp-httplib-dev
  fonts-wqy-microhei xvfb xauth x11-apps imagemagick xdotool
  iproute2 util-linux
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
