#!/usr/bin/env bash
# Installs every Debian 12 package that building, running and testing the project needs, or only the
# packages named on its command line (the Windows build names its own).
# Idempotent and quiet: packages already present are not fetched again.
#   scripts/install-deps.sh [PACKAGE...]
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config git
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libx11-dev libx11-xcb-dev libxtst-dev libxfixes-dev libxcb1-dev libxcb-xtest0-dev libxcb-xfixes0-dev
    libcrypto++-dev libcurl4-openssl-dev libjpeg62-turbo-dev libpng-dev libdeflate-dev zlib1g-dev
    nlohmann-json3-dev pngcheck
    libgtest-dev libgmock-dev libbenchmark-dev
    libsqlite3-dev libsodium-dev
    xvfb xauth openbox trayer xdotool xclip x11-utils x11-xserver-utils imagemagick fonts-wine
    clang clang-tidy clang-format libclang-rt-14-dev curl xdg-utils
    libboost-dev libpq-dev libpqxx-dev postgresql postgresql-client nginx-light chromium chromium-driver
    appstream desktop-file-utils dpkg-dev fakeroot librsvg2-bin man-db systemd python3 openssl
)
[ $# -gt 0 ] && packages=("$@")

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
