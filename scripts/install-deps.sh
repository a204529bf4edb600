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
    slowhttptest
    appstream desktop-file-utils dpkg-dev fakeroot librsvg2-bin man-db systemd python3 openssl
    libwayland-dev wayland-protocols libxkbcommon-dev xkb-data qt6-wayland
    sway swaybg mako-notifier dbus wl-clipboard wtype grim util-linux xdg-desktop-portal
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

# Runs apt-get with the arguments given. While another apt or dpkg holds its lock (an unattended
# upgrade, another installation), waits for it, saying so once, for at most lock_wait_s seconds.
lock_wait_s=${TERN_APT_LOCK_WAIT:-900}
lock_poll_s=${TERN_APT_LOCK_POLL:-5}
apt_get() {
    local waited=0 said= errors status
    errors=$(mktemp)
    while :; do
        status=0
        "${sudo_cmd[@]}" apt-get "$@" 2>"$errors" || status=$?
        if [ $status -eq 0 ] || ! grep -q "Could not get lock\|Unable to acquire\|is held by process" "$errors"; then
            cat "$errors" >&2
            rm -f "$errors"
            return $status
        fi
        if [ $waited -ge "$lock_wait_s" ]; then
            cat "$errors" >&2
            echo "install-deps.sh: the package manager stayed locked for $lock_wait_s s; try again later." >&2
            rm -f "$errors"
            return $status
        fi
        [ -n "$said" ] || echo "install-deps.sh: another apt or dpkg is running; waiting for it to finish (at most $lock_wait_s s)..." >&2
        said=1
        sleep "$lock_poll_s"
        waited=$((waited + lock_poll_s))
    done
}
apt_get update -qq
apt_get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
