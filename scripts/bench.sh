#!/usr/bin/env bash
# Builds the benchmarks in the host build and runs them. Arguments go to the benchmark
# runner, e.g. scripts/bench.sh --benchmark_filter=Load
set -eu
cd "$(dirname "$0")/.."
cmake --preset host >/dev/null
cmake --build --preset host --target tw_bench
exec build/host/bench/tw_bench "$@"
