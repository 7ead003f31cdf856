#!/usr/bin/env bash
# Installs the Debian packages ZELK needs to build, run and test. Skips what is
# already installed, so it is cheap to run before every build.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  qt6-tools-dev qt6-l10n-tools
  libjpeg62-turbo-dev
  libgtest-dev libgmock-dev libbenchmark-dev time
  libcli11-dev nlohmann-json3-dev libtomlplusplus-dev
  clang libclang-rt-14-dev clang-format
  xvfb xauth fonts-dejavu-core
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

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
