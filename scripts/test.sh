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

# Valgrind's memcheck once over the unit tests that need no GL driver (it
# also sees uninitialised reads, which the sanitizers below do not). The
# Mesa picture and endurance runs are left to the sanitizer pass: under
# memcheck they would take hours.
if command -v valgrind >/dev/null; then
  for t in render platform window app; do
    if [ -x "build/tests/test_$t" ]; then
      (cd build && valgrind -q --error-exitcode=1 "tests/test_$t" --gtest_brief=1)
    fi
  done
fi

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DGARDEN_SANITIZE=ON -DGARDEN_BENCH=OFF -DGARDEN_WERROR=$werror >/dev/null
cmake --build build-asan -j"$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j"$jobs")
