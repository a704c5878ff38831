#!/usr/bin/env bash
# Builds and runs every test: a normal build, then the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh

jobs=$(nproc)
werror=OFF
if [ "${CI:-}" = "true" ]; then werror=ON; fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGARDEN_WERROR=$werror >/dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DGARDEN_SANITIZE=ON -DGARDEN_BENCH=OFF -DGARDEN_WERROR=$werror >/dev/null
cmake --build build-asan -j"$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j"$jobs")
