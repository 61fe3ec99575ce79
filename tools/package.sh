#!/usr/bin/env bash
# Makes the release package build/TapTally-<version>-win32.zip: TapTally.exe of the
# windows build and the user guide. The version is the FileVersion text of the version
# block in resources/taptally.rc. Builds the windows build first when asked to
# (tools/package.sh --build); otherwise it must be built already.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = --build ]; then
    cmake --preset windows >/dev/null
    cmake --build --preset windows -- -j"${JOBS:-2}"
fi

version=$(sed -n 's/^ *VALUE *"FileVersion", *"\([^"]*\)".*/\1/p' resources/taptally.rc)
if [ -z "$version" ]; then
    echo "no FileVersion in resources/taptally.rc" >&2
    exit 1
fi
exe=build/windows/TapTally.exe
if [ ! -f "$exe" ]; then
    echo "$exe is missing: build the windows build first (or pass --build)" >&2
    exit 1
fi

package="build/TapTally-$version-win32.zip"
staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
cp "$exe" "$staging/TapTally.exe"
# The guide gets Windows line ends, so that Notepad shows its lines.
sed 's/$/\r/' docs/USER_GUIDE.txt >"$staging/USER_GUIDE.txt"
rm -f "$package"
(cd "$staging" && zip -q -X "$OLDPWD/$package" TapTally.exe USER_GUIDE.txt)
echo "$package"
