#!/usr/bin/env bash
# Configures and builds into build/ (or $BUILD_DIR) with the mingw-w64 toolchain.
# Arguments name targets to build; none builds everything.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
# A compiler cache, where one is installed, makes rebuilds of several checkouts cheap.
launcher=()
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$ROOT}
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache); fi
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
    cmake "${launcher[@]}" -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_CROSSCOMPILING_EMULATOR=wine >/dev/null
fi
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build "$BUILD_DIR" -j "$(nproc)" "${targets[@]}"
