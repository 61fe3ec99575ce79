#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang in build/fuzz (program library and
# headless stand-in compiled with ASan, UBSan and fuzzer coverage) and runs each for a
# bounded time. Exits non-zero when a target does not build or finds anything.
#   tools/fuzz.sh [seconds per target, default 20] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."

SECONDS_EACH="${1:-20}"
shift || true
JOBS="${JOBS:-2}"
BUILD=build/fuzz
SANITIZE="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"

cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_CXX_FLAGS="$SANITIZE" -DCMAKE_C_FLAGS="$SANITIZE" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DCMAKE_PROJECT_TapTally_INCLUDE="$PWD/fuzz/hook.cmake" >/dev/null
cmake --build "$BUILD" --target fuzz_targets -- -j"$JOBS"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(fuzz_blank_run fuzz_convert_entry fuzz_error_text fuzz_interval_text
             fuzz_value_pair fuzz_version_query fuzz_evemu_reader fuzz_yaml_reader
             fuzz_raw_reader)
fi
for target in "${targets[@]}"; do
    corpus="$BUILD/corpus/$target"
    mkdir -p "$corpus"
    seeds=()
    if [ -d "fuzz/seeds/$target" ]; then
        seeds=("fuzz/seeds/$target") # checked-in starting points, read only
    fi
    echo "--- $target (${SECONDS_EACH}s)"
    # Findings land in build/fuzz/ (crash-*, leak-*, timeout-*).
    # The fuzzer's own status, read before anything else can replace PIPESTATUS.
    status=0
    "$BUILD/fuzz/$target" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=0 -artifact_prefix="$BUILD/$target-" "$corpus" "${seeds[@]}" 2>&1 |
        grep -E 'Done|ERROR|SUMMARY|==[0-9]+==|runtime error|deadly|Test unit written' ||
        status=${PIPESTATUS[0]}
    [ "$status" -eq 0 ] || { echo "$target: finding, see $BUILD/$target-*"; exit 1; }
done
echo "fuzzing found nothing"
