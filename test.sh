#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite:
# unit and integration tests, then each fuzz target briefly under sanitizers.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j2
# The window tests need a display: a virtual one when there is none.
if [ -z "${DISPLAY:-}" ]; then
  xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --test-dir build --output-on-failure --no-tests=error -j2
else
  ctest --test-dir build --output-on-failure --no-tests=error -j2
fi

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSERA_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
cmake --build build-fuzz -j2
ctest --test-dir build-fuzz --output-on-failure --no-tests=error -j2
