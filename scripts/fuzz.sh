#!/usr/bin/env bash
# Runs one reader's fuzz target for a while: scripts/fuzz.sh NAME SECONDS
# NAME is one of the targets in tests/fuzz (bmp, pcx, jpeg, tiff, ...). New inputs that
# reach new code go to build-fuzz/corpus/NAME; a crash is saved to
# tests/data/fuzz/NAME-crashes/, where every later build replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
name=${1:?usage: scripts/fuzz.sh NAME SECONDS}
seconds=${2:?usage: scripts/fuzz.sh NAME SECONDS}
bash scripts/setup.sh
command -v clang++ >/dev/null || { echo "fuzzing needs clang++ (Debian clang and libclang-rt-dev)" >&2; exit 2; }
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DQUARVEL_FUZZ=ON -DQUARVEL_BUILD_APP=OFF -DQUARVEL_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz --target "fuzz_$name" -j"$(nproc)"
corpus=build-fuzz/corpus/$name
crashes=tests/data/fuzz/$name-crashes
mkdir -p "$corpus" "$crashes"
export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
exec build-fuzz/tests/fuzz/"fuzz_$name" -max_total_time="$seconds" -rss_limit_mb=4096 \
    -artifact_prefix="$crashes/" -print_final_stats=1 "$corpus" "tests/data/fuzz/$name"
