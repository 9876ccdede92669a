#!/usr/bin/env bash
# Installs every Debian package the project needs. Idempotent: a second run changes nothing.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config git
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libgtk-3-dev libstb-dev libarchive-dev libcurl4-openssl-dev libsoup-3.0-dev glib-networking
  rapidjson-dev libssl-dev libfmt-dev
  fonts-noto-cjk fonts-wqy-microhei
  python3 openssl curl
  xvfb xauth xdotool imagemagick x11-apps
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "setup: installing ${missing[*]}"
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
