#!/usr/bin/env bash
# Runs every fuzz target for MINUTES minutes each (JOBS at a time, default 1)
# under ASan and UBSan, then prints one line a target: runs, runs a second,
# coverage and findings. Inputs that crash land in build-fuzz/findings/;
# turn each into a regression case under tests/data/ before fixing it.
#   scripts/fuzz.sh MINUTES [JOBS] [TARGETS]   (TARGETS: names such as "3ds_reader bmp_picture")
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:?usage: scripts/fuzz.sh MINUTES [JOBS]}
jobs=${2:-1}
only=${3:-}
./scripts/install-deps.sh
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSERA_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz -j2
mkdir -p build-fuzz/findings build-fuzz/fuzz-logs

run_target() {
  local target=$1 name=${1#fuzz_}
  local work=build-fuzz/tests/fuzz/corpus_$name seeds=()
  mkdir -p "$work"
  # The seeds its ctest run uses: the fixtures of its format, or its own folder.
  while read -r dir; do seeds+=("$dir"); done < <(ctest --test-dir build-fuzz -R "^fuzz_${name}\$" --show-only=json-v1 |
    python3 -c 'import json,sys; t=json.load(sys.stdin)["tests"]; print("\n".join(a for a in t[0]["command"][1:] if not a.startswith("-"))) if t else None' | tail -n +2)
  build-fuzz/tests/fuzz/$target -max_total_time=$((minutes * 60)) -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix=build-fuzz/findings/${name}- "$work" "${seeds[@]}" \
    > build-fuzz/fuzz-logs/$name.log 2>&1 || true
  local log=build-fuzz/fuzz-logs/$name.log
  printf '%-22s runs %-10s per s %-7s cov %-6s findings %s\n' "$name" \
    "$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo ?)" \
    "$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo ?)" \
    "$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*' || echo ?)" \
    "$(ls build-fuzz/findings | grep -c "^${name}-" || true)"
}
export -f run_target
export minutes
if [ -n "$only" ]; then
  targets=$(for name in $only; do echo "fuzz_$name"; done)
else
  targets=$(ls build-fuzz/tests/fuzz | grep '^fuzz_' | grep -v '\.')
fi
echo "$targets" | xargs -P "$jobs" -I{} bash -c 'run_target {}'
