#!/usr/bin/env bash
# Installs the Debian packages needed to build and test Quarrion. Safe to run again.
set -euo pipefail

packages=(
    build-essential cmake ninja-build ccache pkg-config git
    juce-modules-source
    libasound2-dev libjack-jackd2-dev libcurl4-openssl-dev
    libfreetype-dev libfontconfig1-dev libpng-dev libjpeg-dev zlib1g-dev
    libx11-dev libxcomposite-dev libxcursor-dev libxext-dev libxinerama-dev libxrandr-dev
    libxrender-dev libglu1-mesa-dev mesa-common-dev libgtk-3-dev
    lv2-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "All build dependencies are installed."
    exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
