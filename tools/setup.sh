#!/usr/bin/env bash
# Installs what building and testing TapTally needs on Debian 12, and nothing that is
# already there. Safe to run again and again: when every package is installed it does
# not touch apt at all. Installing needs root; the check alone does not.
set -euo pipefail

# Native build and its tests, the MinGW cross build, the analysers and the packaging.
PACKAGES=(
    cmake ninja-build g++ pkg-config file zip unzip python3
    googletest libgtest-dev libbenchmark-dev libpng-dev
    g++-mingw-w64-i686 binutils-mingw-w64-i686
    clang libclang-rt-14-dev clang-tidy cppcheck valgrind
    xvfb xauth xdotool x11-utils imagemagick fonts-dejavu-core
    wine
)
# 32-bit Wine comes from the i386 architecture.
I386_PACKAGES=(wine32:i386)

installed() {
    [ "$(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null)" = installed ]
}

missing=()
for package in "${PACKAGES[@]}" "${I386_PACKAGES[@]}"; do
    installed "$package" || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "setup.sh: installing ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    echo "setup.sh: these packages are missing and installing them needs root: run 'sudo tools/setup.sh'" >&2
    exit 1
fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends "${missing[@]}"
