#!/usr/bin/env bash
# Every room of src/ includes only itself and the rooms below it:
#   app -> ui -> render, formats -> settings, pictures, model -> platform
# (render and formats do not include each other).   layers_test.sh SOURCE
set -euo pipefail
cd "$1/src"
declare -A allowed=(
  [platform]="platform"
  [model]="model platform"
  [pictures]="pictures platform"
  [settings]="settings platform"
  [formats]="formats model pictures platform"
  [render]="render model pictures settings platform"
  [ui]="ui render formats settings pictures model platform"
  [app]="app ui render formats settings pictures model platform"
)
status=0
for room in "${!allowed[@]}"; do
  while IFS=: read -r file line text; do
    target=$(sed -n 's/.*#include "\([a-z_]*\)\/.*/\1/p' <<<"$text")
    if [[ " ${allowed[$room]} " != *" $target "* ]]; then
      echo "FAIL: $file:$line includes $target/, above or beside $room/" >&2
      status=1
    fi
  done < <(grep -rn '#include "[a-z_]*/' "$room" || true)
done
[ "$status" -eq 0 ] && echo "every room includes only the rooms below it"
exit "$status"
