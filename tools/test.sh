#!/usr/bin/env bash
# Builds every build of TapTally and runs every test suite. Exits non-zero when anything
# fails. Each stage is one function below; to add a suite, write a function and add
# its name to STAGES (a name ending in "build" stops the run when it fails, since
# later stages need its output).
set -uo pipefail
cd "$(dirname "$0")/.."

JOBS="${JOBS:-2}"

# Which Wine runs the real-platform tests: decided once setup has installed what it
# could, said in one line, and passed on to every later stage and script.
. tools/platform.sh
wine_wanted || exit 1

stage_setup() { tools/setup.sh && wine_kind; }

build_preset() {
    cmake --preset "$1" >/dev/null && cmake --build --preset "$1" -- -j"$JOBS"
}
# Both Windows builds are compiled on every machine, so that neither can rot; the Wine
# tests run on the one this machine can run.
stage_windows_build() { build_preset windows; }
stage_windows64_build() { build_preset windows64; }
stage_native_build() { build_preset native; }
stage_native_asan_build() { build_preset native-asan; }

run_ctest() { # build dir, label
    ctest --test-dir "$1" -L "$2" --output-on-failure --no-tests=error -j"$JOBS"
}
stage_native_tests() { run_ctest build/native native; }
# The tests of the scripts of tools/ (setup's choices, with apt and dpkg stubbed).
stage_tools_tests() { run_ctest build/native tools; }
stage_native_asan_tests() { run_ctest build/native-asan native; }
# The same tests under valgrind's memcheck (leaks, invalid accesses, undefined values).
stage_native_valgrind_tests() { tools/valgrind_tests.py build/native; }
# The Wine tests run one at a time: each has a display and a Wine server of its own,
# and together they would only compete for the two cores. A machine that can run no
# Wine fails this stage, saying why, rather than leaving the tier out.
stage_wine_tests() {
    echo "$TAPTALLY_WINE_LINE"
    if [ "$TAPTALLY_WINE" = none ]; then
        echo "the Wine tests cannot run on this machine: they need an x86-64 Linux machine"
        return 1
    fi
    ctest --test-dir "$(wine_build)" -L wine --output-on-failure --no-tests=error
}
# TapTally's web page in real browsers: Debian's chromium with event times set through the
# DevTools protocol, and firefox-esr over WebDriver BiDi with paced input; then the verdict
# of every recording the replay's tests write, dropped on the page, against the native tool.
stage_web() {
    tools/web.sh --build >/dev/null &&
        (cd web && timeout 900 node --test --test-concurrency=1 tests/*.test.mjs) &&
        timeout 600 node web/verdict/tests/verdict_test.mjs
}
# libFuzzer targets built with clang in build/fuzz, 20 seconds each.
stage_fuzz() { tools/fuzz.sh 20; }
# cppcheck and clang-tidy on the program's code; needs the native build's compile commands.
stage_static_analysis() { tools/static_analysis.sh; }
# The release zips: each must hold the user guide and the stripped exe of its own build,
# and the exe of the one this machine can run must start from its zip under Wine. Then
# the Debian package of taptally-replay, listed and its tool run from a temporary root.
check_package() { # zip, what file(1) says of its exe up to the word "stripped"
    local listing kind
    listing=$(unzip -l "$1") || return 1
    grep -qE ' TapTally\.exe$' <<<"$listing" && grep -qE ' USER_GUIDE\.txt$' <<<"$listing" ||
        { echo "$1 lacks TapTally.exe or USER_GUIDE.txt:"; echo "$listing"; return 1; }
    kind=$(unzip -p "$1" TapTally.exe | file -b -)
    [[ "$kind" == "$2 (stripped"* ]] || { echo "$1: TapTally.exe is '$kind'"; return 1; }
}
check_web_package() { # zip of the site: the page and its program at its root
    local listing file
    listing=$(unzip -l "$1") || return 1
    for file in index.html page.js style.css taptally.js taptally.wasm; do
        grep -qE " $file\$" <<<"$listing" || { echo "$1 lacks $file:"; echo "$listing"; return 1; }
    done
}
stage_package() {
    local zips
    zips=$(tools/package.sh) || return 1
    check_package "$(grep -- -win32.zip <<<"$zips")" "PE32 executable (GUI) Intel 80386" &&
        check_package "$(grep -- -win64.zip <<<"$zips")" "PE32+ executable (GUI) x86-64" &&
        check_web_package "$(grep -- -web.zip <<<"$zips")" &&
        tools/package_starts.py "$(grep -- "-win$TAPTALLY_WINE.zip" <<<"$zips")" &&
        tools/package_deb.sh
}

# Figures, not verdicts: the replay's throughput, and the table of start-up, paint, press
# and movement costs, headless and under the Wine this machine runs.
stage_bench() { tools/bench.py 2000; }

STAGES=(
    setup
    windows_build
    windows64_build
    native_build
    native_asan_build
    native_tests
    tools_tests
    native_asan_tests
    native_valgrind_tests
    wine_tests
    web
    fuzz
    static_analysis
    package
    bench
)

failed=()
report=()
for stage in "${STAGES[@]}"; do
    echo "=== $stage"
    name=$stage
    case "$stage:${TAPTALLY_WINE:-}" in
        wine_tests:32 | wine_tests:64) name="wine_tests ($TAPTALLY_WINE-bit)" ;;
        wine_tests:*) name="wine_tests (no Wine)" ;;
    esac
    start=$(date +%s)
    if "stage_$stage"; then
        status=ok
    else
        status=FAILED
        failed+=("$stage")
    fi
    report+=("$(printf '%-22s %-7s %5ds' "$name" "$status" $(($(date +%s) - start)))")
    if [ "$status" = FAILED ] && [[ "$stage" == *build || "$stage" == setup ]]; then
        break
    fi
done

echo "=== summary"
printf '%s\n' "${report[@]}"
if [ -n "${TAPTALLY_WINE_LINE:-}" ]; then
    echo "$TAPTALLY_WINE_LINE"
fi
if [ ${#failed[@]} -gt 0 ]; then
    echo "failed: ${failed[*]}"
    exit 1
fi
echo "all stages passed"
