#!/usr/bin/env bash
# Builds the demo and runs it from its run folder (where its textures are).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target garden
mkdir -p build/run
cd build/run
exec ../app/garden
