#!/usr/bin/env bash
# Makes the Debian package of taptally-replay with CPack (in build/replay, the optimised
# build tools/replay.sh uses), checks it and prints its path: it must hold the tool in
# usr/bin and its man page in usr/share/man/man1, and the tool installed from it into a
# temporary root must give TapTally's verdict on a recording; the tool stripped, and the
# package's copyright in usr/share/doc.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD=build/replay
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" --target taptally-replay -- -j"${JOBS:-2}" >&2
(cd "$BUILD" && cpack -G DEB >&2)
package=$(ls -t "$BUILD"/taptally-replay_*.deb | head -1)

listing=$(dpkg-deb -c "$package")
for file in ./usr/bin/taptally-replay ./usr/share/man/man1/taptally-replay.1.gz \
    ./usr/share/doc/taptally-replay/copyright; do
    grep -q " $file\$" <<<"$listing" || { echo "$package lacks $file:" >&2; echo "$listing" >&2; exit 1; }
done

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$package" "$root"
if file "$root/usr/bin/taptally-replay" | grep -q "not stripped"; then
    echo "the packaged taptally-replay is not stripped" >&2
    exit 1
fi
# A left button pressed again 12 ms after its first press: TapTally's error 10, status 1.
cat >"$root/bounce.txt" <<'RECORDING'
E: 1.000000 0001 0110 0001
E: 1.000000 0000 0000 0000
E: 1.005000 0001 0110 0000
E: 1.005000 0000 0000 0000
E: 1.012000 0001 0110 0001
E: 1.012000 0000 0000 0000
E: 1.100000 0001 0110 0000
E: 1.100000 0000 0000 0000
RECORDING
status=0
verdict=$("$root/usr/bin/taptally-replay" "$root/bounce.txt") || status=$?
if [ "$status" -ne 1 ] || ! grep -q '^FAIL: 1 error (10: 1)$' <<<"$verdict"; then
    echo "the installed taptally-replay gave status $status and:" >&2
    echo "$verdict" >&2
    exit 1
fi
man -l "$root/usr/share/man/man1/taptally-replay.1.gz" 2>/dev/null | grep -q -- '--live' ||
    { echo "the installed man page does not tell of --live" >&2; exit 1; }
echo "$package"
