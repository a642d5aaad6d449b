#!/usr/bin/env bash
# The core and command-line tests again, built with AddressSanitizer and UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
BUILD_DIR=build-sanitize BUILD_TYPE=Debug bash scripts/build.sh \
    -DQUARVEL_SANITIZE=ON -DQUARVEL_BUILD_APP=OFF -DQUARVEL_BUILD_BENCH=OFF
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
ctest --test-dir build-sanitize --output-on-failure -j"$(nproc)"
