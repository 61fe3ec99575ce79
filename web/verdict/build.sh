#!/bin/sh
# Builds the verdict's part of the site on its own into build/web-verdict/site/verdict/
# (the page's own build takes web/verdict/ as a part of the whole site).
set -eu
cd "$(dirname "$0")/../.."
export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"
build="${1:-build/web-verdict}"
cmake -S web/verdict -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake >/dev/null
cmake --build "$build" -- -j"${JOBS:-2}"
