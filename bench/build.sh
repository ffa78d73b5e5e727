#!/usr/bin/env bash
# Builds the Release trees that the benchmarks measure, apart from the
# sanitizer tree of the tests: $BUILD_DIR/bench (native, no sanitizers, no debug
# checks) and, with --win, $BUILD_DIR/bench-win (MinGW-w64 Release, whose Wine
# benchmarks drive the native tools of $BUILD_DIR/bench).
#   bench/build.sh [targets...]           default: the tools and benchmarks they use
#   bench/build.sh --win [targets...]     the Windows tree (default: Quillon bare-recv wdrv)
set -euo pipefail
. "$(dirname "$0")/../scripts/lib/env.sh"
bench_dir=$build/bench
if [ "${1:-}" = --win ]; then
  shift
  win_dir=$build/bench-win
  cmake -S "$root" -B "$win_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DLV_NATIVE_DIR="$bench_dir" >/dev/null
  targets=("$@")
  [ ${#targets[@]} -gt 0 ] || targets=(Quillon bare-recv wdrv)
  cmake --build "$win_dir" -j "$(nproc)" --target "${targets[@]}"
  exit
fi
cmake -S "$root" -B "$bench_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLV_SANITIZE=OFF >/dev/null
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(headend carousel-recv guide_bench)
cmake --build "$bench_dir" -j "$(nproc)" --target "${targets[@]}"
