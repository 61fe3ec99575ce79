# Sourced by the scripts that run TapTally under Wine: finds out, once per command, which
# Wine this machine can run it under.
#
#   wine_wanted    sets TAPTALLY_WINE_WANTED to the Wine this machine can run, 32, 64 or
#                  none (by running a tiny 32-bit x86 program), and TAPTALLY_WINE_WHY to
#                  why, without printing anything; both are exported, so that the scripts
#                  started later ask no more. tools/setup.sh installs that Wine.
#   wine_kind      once setup has run: sets TAPTALLY_WINE to the Wine TapTally runs under,
#                  the wanted one, or 64 when the 32-bit Wine is wanted but not installed;
#                  exports it, so that every later script is told, and prints one line
#                  telling which way it goes and why (kept in TAPTALLY_WINE_LINE)
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

wine_wanted() {
    if [ -n "${TAPTALLY_WINE:-}" ] && [ -n "${TAPTALLY_WINE_SAID:-}" ]; then
        TAPTALLY_WINE_WANTED=$TAPTALLY_WINE
    fi
    if [ -n "${TAPTALLY_WINE_WANTED:-}" ]; then
        return 0
    fi
    case "${TAPTALLY_WINE:-}" in
        64)
            TAPTALLY_WINE_WANTED=64
            TAPTALLY_WINE_WHY="TAPTALLY_WINE=64 asks for it"
            ;;
        "")
            if [ "$(uname -m)" != x86_64 ]; then
                TAPTALLY_WINE_WANTED=none
                TAPTALLY_WINE_WHY="this is a $(uname -m) machine; TapTally under Wine needs an x86-64 Linux machine"
            elif runs_32bit_code; then
                TAPTALLY_WINE_WANTED=32
                TAPTALLY_WINE_WHY="this machine runs 32-bit x86 programs"
            else
                TAPTALLY_WINE_WANTED=64
                TAPTALLY_WINE_WHY="this machine cannot run 32-bit x86 programs"
            fi
            ;;
        *)
            echo "TAPTALLY_WINE must be empty or 64, not '$TAPTALLY_WINE'" >&2
            return 1
            ;;
    esac
    export TAPTALLY_WINE_WANTED TAPTALLY_WINE_WHY
}

wine32_installed() {
    [ "$(dpkg-query -W -f='${db:Status-Status}' wine32:i386 2>/dev/null)" = installed ]
}

wine_kind() {
    if [ -n "${TAPTALLY_WINE:-}" ] && [ -n "${TAPTALLY_WINE_SAID:-}" ]; then
        return 0
    fi
    wine_wanted || return 1
    local why=${TAPTALLY_WINE_WHY:-}
    TAPTALLY_WINE=$TAPTALLY_WINE_WANTED
    if [ "$TAPTALLY_WINE" = 32 ] && ! wine32_installed; then
        TAPTALLY_WINE=64
        why="$why, but its 32-bit Wine, wine32:i386, is not installed"
    fi
    case "$TAPTALLY_WINE" in
        32) TAPTALLY_WINE_LINE="Wine: the 32-bit TapTally.exe under 32-bit Wine ($why)" ;;
        64) TAPTALLY_WINE_LINE="Wine: the 64-bit TapTally.exe under 64-bit Wine ($why)" ;;
        *) TAPTALLY_WINE_LINE="Wine: none ($why)" ;;
    esac
    echo "$TAPTALLY_WINE_LINE"
    TAPTALLY_WINE_SAID=1
    export TAPTALLY_WINE TAPTALLY_WINE_SAID TAPTALLY_WINE_LINE
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
