#!/usr/bin/env bash
# Tests a mouse live: TapTally runs through the kernel's events of the mouse as they come,
# shows each error and finding at once, and prints its verdict when the test ends
# (Ctrl+C, --seconds N, or the mouse unplugged). Builds taptally-replay first, as
# tools/replay.sh does.
#   tools/live.sh [DEVICE] [options]     (tools/live.sh --help lists the options)
# DEVICE is a device node (/dev/input/eventN, or its /dev/input/by-id link), or a file or
# - (standard input) of the kernel's event records; without it the mouse is found.
exec "$(dirname "$0")/replay.sh" --live "$@"
