#!/usr/bin/env bash
# Makes the release packages build/TapTally-<version>-win32.zip and
# build/TapTally-<version>-win64.zip: each holds the stripped TapTally.exe of its build
# (windows, windows64) and the user guide; and build/TapTally-<version>-web.zip, the web
# page's site (build/web/site, index.html at its root) for any static web server. Prints
# their paths, one a line. The version is the FileVersion text of the version block in
# resources/taptally.rc. Builds the builds first when asked to (tools/package.sh --build);
# otherwise they must be built already.
set -euo pipefail
cd "$(dirname "$0")/.."

# build preset, package suffix, strip program
BUILDS=("windows win32 i686-w64-mingw32-strip" "windows64 win64 x86_64-w64-mingw32-strip")

if [ "${1:-}" = --build ]; then
    for build in "${BUILDS[@]}"; do
        read -r preset _ _ <<<"$build"
        cmake --preset "$preset" >/dev/null
        cmake --build --preset "$preset" -- -j"${JOBS:-2}" >&2
    done
    tools/web.sh --build >/dev/null
fi

version=$(sed -n 's/^ *VALUE *"FileVersion", *"\([^"]*\)".*/\1/p' resources/taptally.rc)
if [ -z "$version" ]; then
    echo "no FileVersion in resources/taptally.rc" >&2
    exit 1
fi

staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
# The guide gets Windows line ends, so that Notepad shows its lines.
sed 's/$/\r/' docs/USER_GUIDE.txt >"$staging/USER_GUIDE.txt"
for build in "${BUILDS[@]}"; do
    read -r preset suffix strip <<<"$build"
    exe=build/$preset/TapTally.exe
    if [ ! -f "$exe" ]; then
        echo "$exe is missing: build the $preset build first (or pass --build)" >&2
        exit 1
    fi
    package="build/TapTally-$version-$suffix.zip"
    "$strip" -o "$staging/TapTally.exe" "$exe"
    rm -f "$package"
    (cd "$staging" && zip -q -X "$OLDPWD/$package" TapTally.exe USER_GUIDE.txt)
    echo "$package"
done

site=build/web/site
if [ ! -f "$site/index.html" ] || [ ! -f "$site/taptally.wasm" ]; then
    echo "$site is missing: build the page first (tools/web.sh --build, or pass --build)" >&2
    exit 1
fi
package="build/TapTally-$version-web.zip"
rm -f "$package"
(cd "$site" && zip -q -X -r "$OLDPWD/$package" .)
echo "$package"
