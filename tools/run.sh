#!/usr/bin/env bash
# Builds TapTally.exe and starts it: on Linux under Wine on the current X display (the
# 32-bit exe under 32-bit Wine, or on a machine that cannot run 32-bit code the 64-bit exe
# under 64-bit Wine), on Windows (MSYS2 or Cygwin shells) directly.
set -euo pipefail
cd "$(dirname "$0")/.."

case "$(uname -s)" in
    MINGW* | MSYS* | CYGWIN*)
        # On Windows the MinGW compiler of the shell builds for its own system.
        cmake -G Ninja -B build/windows -DCMAKE_BUILD_TYPE=Release >/dev/null
        cmake --build build/windows --target TapTally
        exec build/windows/TapTally.exe
        ;;
esac

. tools/platform.sh
wine_wanted
if [ "$TAPTALLY_WINE_WANTED" = none ]; then
    echo "run.sh: TapTally cannot run on this machine ($TAPTALLY_WINE_WHY): it needs Windows, or an x86-64 Linux machine with Wine" >&2
    exit 2
fi
# The Wine is decided once setup has installed what it could.
tools/setup.sh
wine_kind
if [ -z "${DISPLAY:-}" ]; then
    echo "run.sh: no X display (DISPLAY is not set); start one with 'xvfb-run -a tools/run.sh' or set DISPLAY to a running X server" >&2
    exit 2
fi
build=$(wine_build)
cmake --preset "${build#build/}" >/dev/null
cmake --build --preset "${build#build/}" --target TapTally -- -j2
# A new Wine prefix would otherwise offer to download Mono and Gecko, which TapTally
# does not use.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINELOADER
WINELOADER=$(wine_loader)
exec "$WINELOADER" "$build/TapTally.exe"
