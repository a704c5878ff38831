#!/usr/bin/env bash
# Builds the benchmarks and the demo, then measures the garden: build
# through the GL capture and on Mesa, the display-list frame against the same
# triangles in static vertex buffers, start-up, frame rate and peak memory of
# the demo. Prints a table and writes build/bench/bench.json.
# Extra arguments go to garden_bench (--runs N, --frames N, --out FILE).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target garden garden_bench garden_texture_files
cd build/run
exec ../bench/garden_bench --out ../bench/bench.json "$@"
