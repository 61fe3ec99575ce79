#!/usr/bin/env bash
# Installs what building and testing TapTally needs on Debian 12, and nothing that is
# already there. Safe to run again and again: when every package is installed it does
# not touch apt at all. Installing needs root; the check alone does not.
set -euo pipefail

. "$(dirname "$0")/platform.sh"
wine_kind

# Native build and its tests (libevdev for the live test), both MinGW cross builds, the
# analysers and the packaging (dpkg-dev: the Debian package's dependencies).
PACKAGES=(
    cmake ninja-build g++ pkg-config file zip unzip python3
    googletest libgtest-dev libbenchmark-dev libpng-dev libyaml-dev libevdev-dev dpkg-dev
    g++-mingw-w64-i686 binutils-mingw-w64-i686
    g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
    clang libclang-rt-14-dev clang-tidy cppcheck valgrind
    xvfb xauth xdotool x11-utils imagemagick fonts-dejavu-core
    emscripten chromium firefox-esr
)
# The page's tests run under node with npm; a machine with a node of its own keeps it.
command -v npm >/dev/null || PACKAGES+=(npm)
# The Wine this machine can run: 32-bit Wine comes from the i386 architecture, which a
# machine without 32-bit support does not need.
I386_PACKAGES=()
case "$TAPTALLY_WINE" in
    32) PACKAGES+=(wine wine64) I386_PACKAGES=(wine32:i386) ;;
    64) PACKAGES+=(wine wine64) ;;
esac

installed() {
    [ "$(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null)" = installed ]
}

missing=()
for package in "${PACKAGES[@]}" "${I386_PACKAGES[@]}"; do
    installed "$package" || missing+=("$package")
done
# The page's test packages, exactly as the lock file names them (web/node_modules).
node_packages() {
    local web
    web="$(cd "$(dirname "$0")/../web" && pwd)"
    if [ ! -d "$web/node_modules" ] || [ "$web/package-lock.json" -nt "$web/node_modules" ]; then
        (cd "$web" && npm ci --no-audit --no-fund)
    fi
}

if [ ${#missing[@]} -eq 0 ]; then
    node_packages
    exit 0
fi

echo "setup.sh: installing ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    echo "setup.sh: these packages are missing and installing them needs root: run 'sudo tools/setup.sh'" >&2
    exit 1
fi

if [ ${#I386_PACKAGES[@]} -gt 0 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends "${missing[@]}"
node_packages
