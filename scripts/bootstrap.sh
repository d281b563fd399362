#!/usr/bin/env bash
# Installs the Debian packages the build needs, when any is missing.
# Used by run.sh and test.sh; safe to run again.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-translations-l10n libturbojpeg0-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-14-dev
    desktop-file-utils appstream man-db groff-base
    at-spi2-core dbus-daemon python3-pyatspi xvfb xdotool
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "bootstrap: installing ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    echo "bootstrap: not root; run this once, then try again:" >&2
    echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
