#!/usr/bin/env bash
# The core parts that need no picture or GUI library, with their tests, cross-built for
# 64-bit ARM (the boards that often drive a machine) and run under qemu-user.
set -euo pipefail
cd "$(dirname "$0")/.."
packages=(g++-aarch64-linux-gnu qemu-user cmake make libgtest-dev)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update
    $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
build_dir=${BUILD_DIR:-build-arm64}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/aarch64-linux-gnu.cmake" \
    -DQUARVEL_CORE_ONLY=ON -DQUARVEL_BUILD_APP=OFF -DQUARVEL_BUILD_BENCH=OFF \
    -DQUARVEL_GTEST_SOURCE=/usr/src/googletest "$@" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
export QEMU_LD_PREFIX=/usr/aarch64-linux-gnu
ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)"
