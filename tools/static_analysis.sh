#!/usr/bin/env bash
# cppcheck and clang-tidy on the program's code (app/ base/ engine/ display/ dialogs/
# shortcuts/). Exits non-zero on any finding. clang-tidy reads .clang-tidy and the
# compile commands of build/native, so the native build must be configured first.
set -uo pipefail
cd "$(dirname "$0")/.."

DIRS=(app base engine display dialogs shortcuts)
mapfile -t SOURCES < <(find "${DIRS[@]}" -name '*.cpp' | sort)
status=0

echo "--- cppcheck"
cppcheck --enable=warning,performance,portability --inline-suppr --error-exitcode=1 --quiet \
    --std=c++17 --language=c++ -I . -I headless/include \
    --suppressions-list=tools/cppcheck-suppressions.txt "${SOURCES[@]}" || status=1

echo "--- clang-tidy"
if [ ! -f build/native/compile_commands.json ]; then
    echo "build/native/compile_commands.json is missing: configure the native build first"
    exit 1
fi
# Two at a time. The findings go to stdout; stderr has only the summary lines of
# clang-tidy ("N warnings generated") and is shown when clang-tidy itself fails.
findings=$(mktemp)
errors=$(mktemp)
printf '%s\n' "${SOURCES[@]}" |
    xargs -P "${JOBS:-2}" -n 4 clang-tidy -p build/native --quiet >"$findings" 2>"$errors" ||
    { cat "$findings" "$errors"; status=1; }
if [ -s "$findings" ]; then
    cat "$findings"
    status=1
fi
rm -f "$findings" "$errors"

[ $status -eq 0 ] && echo "static analysis found nothing"
exit $status
