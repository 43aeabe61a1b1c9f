#!/usr/bin/env bash
# Start to first frame of MODEL in the viewer, five runs under a virtual
# display (a fresh one each run, started before the clock).
#   bench/first_frame.sh BUILD MODEL
set -euo pipefail
build=$1 model=$2
for run in 1 2 3 4 5; do
  xvfb-run -a -s "-screen 0 1280x1024x24" bash -c \
    'start=$(date +%s%N); exec "$0" "$1" "$start"' "$build/bench/first_frame" "$model"
done
