#!/usr/bin/env bash
# Installs what is missing, builds, and opens the viewer on a bundled sample model.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j2 --target tessera
# Without a display (a bare server, CI) the window opens on a virtual one.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" ./build/src/tessera samples/torus.off
fi
exec ./build/src/tessera samples/torus.off
