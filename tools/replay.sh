#!/usr/bin/env bash
# Runs TapTally through a recording of a mouse made with `libinput record` or
# `evemu-record`, and prints its verdict: builds taptally-replay first (an optimised
# native build in build/replay, the replay target only), then runs it with the given
# arguments. The build's progress goes to standard error, a line per step, so that
# --json output on standard output stays clean.
#   tools/replay.sh RECORDING [options]      (tools/replay.sh --help lists the options)
# Exit status: the tool's (0 no error, 1 errors found, 2 bad input or options); 3 when
# the tool could not be built.
set -uo pipefail

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="$ROOT/build/replay"
LOG="$BUILD/replay-build.log"
NAME="$(basename "$0")"
mkdir -p "$BUILD"

configure() {
    [ -f "$BUILD/build.ninja" ] && return 0
    echo "$NAME: configuring the build in build/replay" >&2
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release >"$LOG" 2>&1
}

if ! configure; then
    echo "$NAME: installing what the build needs (tools/setup.sh)" >&2
    "$ROOT/tools/setup.sh" >&2 && configure ||
        { cat "$LOG" >&2; echo "$NAME: the build could not be configured" >&2; exit 3; }
fi
# Ninja's own "[step/steps] what" lines show the progress; an up-to-date tool says nothing.
cmake --build "$BUILD" --target taptally-replay -- -j"${JOBS:-2}" 2>&1 |
    grep -v -e '^ninja: no work to do' -e 'Re-checking globbed directories' >&2
[ "${PIPESTATUS[0]}" -eq 0 ] || { echo "$NAME: taptally-replay did not build" >&2; exit 3; }
exec "$BUILD/replay/taptally-replay" "$@"
