#!/usr/bin/env bash
# Builds every preset and runs every test: the host unit and integration
# tests (also under AddressSanitizer and UndefinedBehaviorSanitizer), the
# checks of both Windows builds and the Wine end-to-end tests of the 64-bit
# build, after a short fuzzing pass.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

for preset in host host-asan win32 win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

echo "== fuzzing"
bash scripts/fuzz.sh "${LAYERFIX_FUZZ_SECONDS:-10}"

for preset in host host-asan win32 win64; do
  echo "== tests: $preset"
  ctest --preset "$preset" -j2
done
