#!/usr/bin/env bash
# Installs what is missing, builds, and opens a bundled sample model.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j2 --target tessera-tool
exec ./build/src/tessera-tool info samples/torus.off
