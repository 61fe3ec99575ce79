#!/usr/bin/env bash
# Builds TapTally.exe and starts it: on Linux under 32-bit Wine on the current X display,
# on Windows (MSYS2 or Cygwin shells) directly.
set -euo pipefail
cd "$(dirname "$0")/.."

exe=build/windows/TapTally.exe
case "$(uname -s)" in
    MINGW* | MSYS* | CYGWIN*)
        # On Windows the MinGW compiler of the shell builds for its own system.
        cmake -G Ninja -B build/windows -DCMAKE_BUILD_TYPE=Release >/dev/null
        cmake --build build/windows --target TapTally
        exec "$exe"
        ;;
esac

tools/setup.sh
if [ -z "${DISPLAY:-}" ]; then
    echo "run.sh: no X display (DISPLAY is not set); start one with 'xvfb-run -a tools/run.sh' or set DISPLAY to a running X server" >&2
    exit 2
fi
cmake --preset windows >/dev/null
cmake --build --preset windows -- -j2
# A new Wine prefix would otherwise offer to download Mono and Gecko, which TapTally
# does not use.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEDEBUG="${WINEDEBUG:--all}"
exec wine "$exe"
