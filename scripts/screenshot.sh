#!/usr/bin/env bash
# Takes a screenshot of the viewer with a model loaded, under a virtual X
# display: scripts/screenshot.sh [MODEL] [OUT.png]. Builds the viewer first.
set -euo pipefail
cd "$(dirname "$0")/.."
model="${1:-samples/torus.off}"
out="${2:-build/screenshot.png}"

need=()
command -v xwd >/dev/null || need+=(x11-apps)
command -v convert >/dev/null && convert -version >/dev/null 2>&1 || need+=(imagemagick)
if [ ${#need[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get install -y -q --no-install-recommends "${need[@]}"
fi
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 --target tessera

# Inside the virtual display: start the viewer, wait for its first frames,
# photograph the screen, end the viewer.
xvfb-run -a -s "-screen 0 800x600x24" bash -c '
  XDG_CONFIG_HOME="$(mktemp -d)" ./build/src/tessera "$0" &
  pid=$!
  sleep 4
  xwd -root -silent | convert xwd:- "$1"
  kill "$pid"
' "$model" "$out"
echo "screenshot: $out"
