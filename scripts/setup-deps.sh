#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing the program need, and only
# those that are missing, with any further packages named as arguments. Runs as root (or through
# sudo when it is there).
set -euo pipefail

# libqt6opengl6-dev: Debian's qt6-charts-dev needs its CMake files but does not depend on it.
packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev libqt6sql6-sqlite qt6-qpa-plugins qt6-charts-dev libqt6opengl6-dev
    libgtest-dev libgmock-dev libbenchmark-dev libcpp-httplib-dev
    xvfb xauth fontconfig fonts-wqy-microhei imagemagick
)
packages+=("$@")
if [ "${TARVO_WITH_CLANG:-0}" = 1 ]; then
    packages+=(clang-14 libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -ne 0 ] && as_root=(sudo)
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
