#!/usr/bin/env bash
# Builds the BMP and TGA fuzz targets with clang's libFuzzer (with
# AddressSanitizer and UndefinedBehaviorSanitizer) and runs each for the
# given number of seconds (default 60). New inputs go to build-fuzz/corpus/;
# the committed seeds in fuzz/corpus/ are only read. Crashes are written to
# the current folder as crash-* files.
#
#   scripts/fuzz.sh [seconds] [bmp|tga ...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then targets=(bmp tga); fi

if ! command -v clang++ >/dev/null; then
  echo "clang++ is needed (Debian: clang libclang-rt-14-dev)" >&2
  exit 1
fi
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DGARDEN_FUZZ=ON -DGARDEN_TESTS=OFF -DGARDEN_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j2 --target "${targets[@]/%/_fuzz}"
for t in "${targets[@]}"; do
  mkdir -p "build-fuzz/corpus/$t"
  echo "== fuzzing $t for ${seconds}s"
  "build-fuzz/fuzz/${t}_fuzz" -max_total_time="$seconds" -rss_limit_mb=2048 -max_len=65536 \
    "build-fuzz/corpus/$t" "fuzz/corpus/$t"
done
