#!/usr/bin/env bash
# Installs what building and testing TapTally needs on Debian 12, and nothing that is
# already there. Safe to run again and again: when every package is installed and the
# web page's npm packages are up to date it touches neither apt nor npm. Installing
# packages needs root; the check alone does not.
#
# A package list that cannot be fetched does not stop it; a package that cannot be
# installed does, but for the 32-bit Wine: when wine32:i386 cannot be installed it says
# why in one line, and TapTally takes the 64-bit way (64-bit exe, 64-bit Wine).
set -euo pipefail
cd "$(dirname "$0")/.."

. tools/platform.sh
wine_wanted
# apt's own download helper lives outside the usual PATH.
PATH="$PATH:/usr/lib/apt"

# Native build and its tests (libevdev for the live test), both MinGW cross builds, the
# analysers, the packaging (dpkg-dev: the Debian package's dependencies) and the web
# page's build and browser tests. A node and npm of the user's own are kept.
PACKAGES=(
    cmake ninja-build g++ pkg-config file zip unzip python3
    googletest libgtest-dev libbenchmark-dev libpng-dev libyaml-dev libevdev-dev dpkg-dev
    libstb-dev
    g++-mingw-w64-i686 binutils-mingw-w64-i686
    g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
    clang libclang-rt-14-dev clang-tidy cppcheck valgrind
    xvfb xauth xdotool x11-utils imagemagick fonts-dejavu-core
    emscripten chromium firefox-esr
)
command -v node >/dev/null || PACKAGES+=(nodejs)
command -v npm >/dev/null || PACKAGES+=(npm)
# Both Wines need wine64; the 32-bit one comes from the i386 architecture, which a
# machine without 32-bit support does not need.
case "$TAPTALLY_WINE_WANTED" in
    32 | 64) PACKAGES+=(wine wine64) ;;
esac

installed() {
    [ "$(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null)" = installed ]
}

missing=()
for package in "${PACKAGES[@]}"; do
    installed "$package" || missing+=("$package")
done
wine32=()
if [ "$TAPTALLY_WINE_WANTED" = 32 ] && ! wine32_installed; then
    wine32=(wine32:i386)
fi
web_stale=false
if [ -f web/package-lock.json ] && { [ ! -d web/node_modules ] || [ web/node_modules -ot web/package-lock.json ]; }; then
    web_stale=true
fi

# One line of apt's output that says why it failed: the first unmet dependency, else its
# last error.
apt_reason() {
    local line
    line=$(grep -m1 -E ' : (Pre)?Depends: | : Breaks: | : Conflicts: ' <<<"$1") ||
        line=$(grep -E '^E: ' <<<"$1" | tail -n1) || line="apt-get failed"
    line=$(tr -s ' \n' '  ' <<<"$line")
    line=${line# }
    line=${line% }
    echo "${line#E: }"
}

# What is wrong with the plan of a simulated install, if anything: it may add and upgrade
# packages, never remove or downgrade one.
plan_refusal() {
    local line name old new remove='^Remv ([^ ]+)' upgrade='^Inst ([^ ]+) \[([^]]+)\] \(([^ ]+)'
    while read -r line; do
        if [[ "$line" =~ $remove ]]; then
            echo "it would remove ${BASH_REMATCH[1]}"
            return 0
        fi
        if [[ "$line" =~ $upgrade ]]; then
            name=${BASH_REMATCH[1]} old=${BASH_REMATCH[2]} new=${BASH_REMATCH[3]}
            if dpkg --compare-versions "$new" lt "$old"; then
                echo "it would downgrade $name from $old to $new"
                return 0
            fi
        fi
    done <<<"$1"
    return 1
}

# Installs the 32-bit Wine with the given arguments of apt-get install, after a simulation
# whose plan is safe. On failure sets reason, and plan to apt's output.
reason=
plan=
install_plan() {
    local log
    if ! plan=$(apt-get -s install --no-install-recommends "$@" 2>&1); then
        reason=$(apt_reason "$plan")
        return 1
    fi
    if reason=$(plan_refusal "$plan"); then
        return 1
    fi
    log="$work/install.log"
    if ! apt-get install -y --no-install-recommends --no-remove "$@" 2>&1 | tee "$log"; then
        plan=$(cat "$log")
        reason=$(apt_reason "$plan")
        return 1
    fi
}

# The i386 twin of an installed amd64 package at the amd64 package's own version, for
# when the i386 package list is missing that version (a list that could not be fetched).
# Fetched from where apt fetched the amd64 package, over https since no signed list
# vouches for it. Sets deb to the .deb's path.
deb=
fetch_twin() { # name version
    local uri log="$work/fetch.log"
    if ! uri=$(apt-get download --print-uris "$1:amd64=$2" 2>"$log") || [ -z "$uri" ]; then
        reason="no source of $1 $2: $(apt_reason "$(cat "$log")")"
        return 1
    fi
    uri=${uri#\'}
    uri=${uri%%\' *}
    case "$uri" in
        http://* | https://*) uri="https://${uri#*://}" ;;
        *) reason="$1 $2 comes from $uri, which cannot be fetched over https"; return 1 ;;
    esac
    uri="${uri%_amd64.deb}_i386.deb"
    deb="$work/$1_i386.deb"
    echo "setup.sh: fetching $1 $2 for i386, missing from the package lists, from $uri"
    if ! apt-helper download-file "$uri" "$deb" >"$log" 2>&1; then
        reason="the i386 twin of $1 $2 could not be fetched: $(apt_reason "$(cat "$log")")"
        return 1
    fi
    if [ "$(dpkg-deb -f "$deb" Package Version Architecture 2>&1)" != "$(printf 'Package: %s\nVersion: %s\nArchitecture: i386' "$1" "$2")" ]; then
        reason="$uri is not $1 $2 for i386"
        return 1
    fi
}

# Adds to twins the i386 packages that an unmet dependency of the plan names and whose
# amd64 twin is installed: at the amd64 version, from the lists or fetched. Fails when
# there is none to add.
twins=()
declare -A tried=()
add_twins() {
    local name version added=1
    for name in $(grep -oE 'Depends: [^ ]+:i386' <<<"$plan" | sed 's/.* //; s/:i386$//' | sort -u); do
        [ -z "${tried[$name]:-}" ] || continue
        tried[$name]=1
        version=$(dpkg-query -W -f='${db:Status-Status} ${Version}' "$name:amd64" 2>/dev/null) || continue
        [[ "$version" == "installed "* ]] || continue
        version=${version#installed }
        if apt-cache show "$name:i386=$version" 2>/dev/null | grep -q '^Version: '; then
            twins+=("$name:i386=$version")
        else
            fetch_twin "$name" "$version" || return 1
            twins+=("$deb")
        fi
        added=0
    done
    return $added
}

# The 32-bit Wine as the lists have it; else with the point release's versions, which
# the i386 side can match, plus the i386 twins of installed amd64 updates.
install_wine32() {
    local release
    install_plan wine32:i386 && return 0
    release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    [ -n "$release" ] || return 1
    echo "setup.sh: wine32:i386 as the package lists have it: $reason; trying the versions of the $release point release"
    while true; do
        install_plan -t "$release" wine32:i386 "${twins[@]}" && return 0
        add_twins || return 1
    done
}

to_install=("${missing[@]}" "${wine32[@]}")
if [ ${#to_install[@]} -gt 0 ]; then
    echo "setup.sh: installing ${to_install[*]}"
    if [ "$(id -u)" -ne 0 ]; then
        if [ ${#missing[@]} -gt 0 ]; then
            echo "setup.sh: these packages are missing and installing them needs root: run 'sudo tools/setup.sh'" >&2
            exit 1
        fi
        reason="installing it needs root (run 'sudo tools/setup.sh')"
    else
        work=$(mktemp -d "${TMPDIR:-/tmp}/taptally-setup.XXXXXX")
        trap 'rm -rf "$work"' EXIT
        if [ ${#wine32[@]} -gt 0 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
            dpkg --add-architecture i386
        fi
        export DEBIAN_FRONTEND=noninteractive
        if ! apt-get update; then
            echo "setup.sh: some package lists could not be fetched (above); going on with those apt has"
        fi
        if [ ${#missing[@]} -gt 0 ]; then
            apt-get install -y --no-install-recommends "${missing[@]}"
        fi
        if [ ${#wine32[@]} -gt 0 ] && install_wine32; then
            wine32=()
        fi
    fi
    if [ ${#wine32[@]} -gt 0 ]; then
        echo "setup.sh: the 32-bit Wine, wine32:i386, cannot be installed: $reason; TapTally takes the 64-bit way"
    fi
fi

if $web_stale; then
    echo "setup.sh: installing the web page's npm packages (npm ci in web/)"
    (cd web && npm ci)
fi
