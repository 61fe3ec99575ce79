# Sourced by the scripts that run TapTally under Wine: finds out, once per command, which
# Wine this machine can run it under, by running a tiny 32-bit x86 program.
#
#   wine_kind      sets TAPTALLY_WINE to 32, 64 or none (and exports it, so that the
#                  scripts and tests started later ask no more) and prints one line
#                  telling which way it goes and why
#   wine_build     the build directory of the exe for that Wine: build/windows or
#                  build/windows64
#   wine_loader    the Wine loader that runs it: /usr/lib/wine/wine or /usr/lib/wine/wine64
#
# TAPTALLY_WINE=64 set by the user takes the 64-bit way on a machine that could run both.

# Runs a 93-byte static 32-bit x86 Linux program that only exits with status 42. A
# kernel without 32-bit support refuses it ("Exec format error"); an ARM machine too.
runs_32bit_code() {
    local dir program status
    dir=$(mktemp -d "${TMPDIR:-/tmp}/taptally-i386.XXXXXX") || return 1
    program="$dir/exit42"
    # ELF header: 32-bit, little-endian, executable for the 386, entry at 0x08048054,
    # one program header at offset 52.
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' >"$program"
    printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' >>"$program"
    printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00' >>"$program"
    printf '\x00\x00\x00\x00' >>"$program"
    # One loadable segment: the whole file at 0x08048000, readable and executable.
    printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' >>"$program"
    printf '\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' >>"$program"
    # xor ebx, ebx; mov bl, 42; xor eax, eax; inc eax (exit); int 0x80
    printf '\x31\xdb\xb3\x2a\x31\xc0\x40\xcd\x80' >>"$program"
    chmod +x "$program"
    "$program" 2>/dev/null
    status=$?
    rm -rf "$dir"
    [ "$status" -eq 42 ]
}

wine_kind() {
    if [ -n "${TAPTALLY_WINE:-}" ] && [ -n "${TAPTALLY_WINE_SAID:-}" ]; then
        return 0
    fi
    local why
    case "${TAPTALLY_WINE:-}" in
        64) why="TAPTALLY_WINE=64 asks for it" ;;
        "")
            if [ "$(uname -m)" != x86_64 ]; then
                TAPTALLY_WINE=none
                why="this is a $(uname -m) machine; TapTally under Wine needs an x86-64 Linux machine"
            elif runs_32bit_code; then
                TAPTALLY_WINE=32
                why="this machine runs 32-bit x86 programs"
            else
                TAPTALLY_WINE=64
                why="this machine cannot run 32-bit x86 programs"
            fi
            ;;
        *)
            echo "TAPTALLY_WINE must be empty or 64, not '$TAPTALLY_WINE'" >&2
            return 1
            ;;
    esac
    case "$TAPTALLY_WINE" in
        32) echo "Wine: the 32-bit TapTally.exe under 32-bit Wine ($why)" ;;
        64) echo "Wine: the 64-bit TapTally.exe under 64-bit Wine ($why)" ;;
        none) echo "Wine: none ($why)" ;;
    esac
    TAPTALLY_WINE_SAID=1
    export TAPTALLY_WINE TAPTALLY_WINE_SAID
}

wine_build() {
    case "$TAPTALLY_WINE" in
        32) echo build/windows ;;
        *) echo build/windows64 ;;
    esac
}

wine_loader() {
    case "$TAPTALLY_WINE" in
        32) echo /usr/lib/wine/wine ;;
        *) echo /usr/lib/wine/wine64 ;;
    esac
}
