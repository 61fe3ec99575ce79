#!/usr/bin/env bash
# Builds TapTally's web page into build/web/site (index.html at its root, all static)
# and serves it on http://127.0.0.1:8000/ until Ctrl+C.
#   tools/web.sh            build, then serve
#   tools/web.sh --build    build only
#   tools/web.sh --port N   serve on port N
set -euo pipefail
cd "$(dirname "$0")/.."

serve=yes
port=8000
while [ $# -gt 0 ]; do
    case "$1" in
        --build) serve=no ;;
        --port)
            port="${2:-}"
            shift
            if ! [[ "$port" =~ ^[0-9]+$ ]] || [ "$port" -lt 1 ] || [ "$port" -gt 65535 ]; then
                echo "web.sh: --port takes a port number from 1 to 65535" >&2
                exit 2
            fi
            ;;
        *)
            echo "usage: tools/web.sh [--build] [--port N]" >&2
            exit 2
            ;;
    esac
    shift
done

if ! command -v emcmake >/dev/null; then
    echo "web.sh: emscripten is missing; tools/setup.sh installs it" >&2
    exit 2
fi
# Debian's emscripten finds its JavaScript parser among Debian's node modules.
export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"
cmake --preset web >/dev/null
cmake --build --preset web -- -j"${JOBS:-2}" >&2
site=build/web/site
if [ "$serve" = no ]; then
    echo "$site"
    exit 0
fi
echo "TapTally's page: http://127.0.0.1:$port/ (Ctrl+C stops)"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site"
