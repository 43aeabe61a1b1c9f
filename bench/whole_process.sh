#!/usr/bin/env bash
# Whole-process loading, medians of 7 alternating runs: milliseconds (the
# time command's own start included) and peak MiB of
#   tessera-tool info on FOLDER/grid.obj, grid.off, grid.stl, grid.ply and
#   grid.glb, and a
#   tinyobjloader program on grid.obj (the yardstick); grid.obj again on one
#   core only.
#   bench/whole_process.sh BUILD FOLDER [OTHER-TESSERA-TOOL]
set -euo pipefail
build=$1 folder=$2 other=${3:-}
declare -A times mems
run() {  # label, command...
  local label=$1; shift
  local out start end
  start=$(date +%s%N)
  out=$( { /usr/bin/time -f "%M" "$@" >/dev/null; } 2>&1 | tail -1)
  end=$(date +%s%N)
  times[$label]+="$(( (end - start) / 1000000 )) "
  mems[$label]+="$out "
}
for round in 1 2 3 4 5 6 7; do
  run "tinyobjloader grid.obj" "$build/bench/tinyobj_info" "$folder/grid.obj"
  run "tessera-tool info grid.obj" "$build/src/tessera-tool" info "$folder/grid.obj"
  run "tessera-tool info grid.off" "$build/src/tessera-tool" info "$folder/grid.off"
  run "tessera-tool info grid.stl" "$build/src/tessera-tool" info "$folder/grid.stl"
  run "tessera-tool info grid.ply" "$build/src/tessera-tool" info "$folder/grid.ply"
  run "tessera-tool info grid.glb" "$build/src/tessera-tool" info "$folder/grid.glb"
  run "one core: info grid.obj" taskset -c 0 "$build/src/tessera-tool" info "$folder/grid.obj"
  if [ -n "$other" ]; then
    run "other tool info grid.obj" "$other" info "$folder/grid.obj"
    run "other tool info grid.off" "$other" info "$folder/grid.off"
  fi
done
median() { tr ' ' '\n' | grep -v '^$' | sort -g | sed -n 4p; }
for label in "${!times[@]}"; do
  printf '%-28s %6s ms %6s MiB\n' "$label" "$(echo "${times[$label]}" | median)" \
    "$(( $(echo "${mems[$label]}" | median) / 1024 ))"
done | sort
