#!/usr/bin/env bash
# Builds the native Release tree that the benchmarks measure: $BUILD_DIR/bench
# (no sanitizers, no debug checks), apart from the sanitizer tree of the tests.
#   bench/build.sh [targets...]      default: the tools and benchmarks they use
set -euo pipefail
. "$(dirname "$0")/../scripts/lib/env.sh"
bench_dir=$build/bench
cmake -S "$root" -B "$bench_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLV_SANITIZE=OFF >/dev/null
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(headend carousel-recv guide_bench)
cmake --build "$bench_dir" -j "$(nproc)" --target "${targets[@]}"
