#!/usr/bin/env bash
# Counts every STL, PLY and glTF file under the given folders twice, with Tessera's
# tool and with an independent reader (assimp), and says whether the counts agree.
# A second reader written by other people catches misreadings that our own fixtures,
# written with the same understanding of the format as the reader, cannot.
#
# usage: scripts/compare-counts.sh TOOL FOLDER...   (TOOL: build/src/tessera-tool)
set -uo pipefail

tool=${1:?usage: $0 TOOL FOLDER...}
shift
if ! command -v assimp >/dev/null; then
  echo "assimp is missing: run scripts/install-check-tools.sh first" >&2
  exit 2
fi

# assimp info -r: a raw import. Without -r assimp joins equal vertices (normals and
# texture coordinates included) and triangulates polygons, and neither is what Tessera
# counts. Raw, assimp keeps PLY vertices and polygons as stored, each glTF primitive's
# vertices as stored (strips and fans become triangles), and 3 corners per STL facet.
# Its mesh list "N (name): [vertices / bones / faces | types]" has one line per mesh
# (per glTF primitive), and its node tree says "(mesh N, M)" at each node that draws
# meshes: the counts are summed over those references, so that a glTF mesh drawn by two
# nodes counts twice, as in Tessera, which makes an object per drawn primitive.
# Prints "vertices faces" of the meshes with faces, then the vertices and number of the
# point/line-only ones; on a refusal it prints "refused" and assimp's error.
assimp_counts() {
  local out
  if ! out=$(assimp info "$1" -r 2>&1); then
    echo refused - 0 0 "$(grep -m1 ERROR <<<"$out" | sed 's/^ERROR: Failed to load file: //')"
    return
  fi
  awk '
    /^Meshes: +\(name\)/ { list = 1; next }
    list && /^ *[0-9]+ \(.*\]$/ {
      i = $1; s = $0; sub(/.*\[/, "", s); sub(/\]$/, "", s)   # "v / b / f | types"
      split(s, part, "|"); split(part[1], n, "/")
      mv[i] = n[1]; mf[i] = n[3]; surface[i] = (part[2] ~ /triangle|polygon/)
      next
    }
    list { list = 0 }
    /^Node hierarchy/ { tree = 1; next }
    tree && match($0, /\(mesh [0-9, ]+\)$/) {
      s = substr($0, RSTART + 6, RLENGTH - 7); k = split(s, ref, ", ")
      for (j = 1; j <= k; j++) {
        if (surface[ref[j]]) { v += mv[ref[j]]; f += mf[ref[j]] } else { pv += mv[ref[j]]; pm++ }
      }
    }
    END { print v + 0, f + 0, pv + 0, pm + 0 }' <<<"$out"
}

find "$@" -type f \( -iname '*.stl' -o -iname '*.ply' -o -iname '*.gltf' -o -iname '*.glb' \) | sort |
while IFS= read -r file; do
  ext=${file##*.}; ext=${ext,,}
  # Tessera: the last line of "info" is "Polygons: P  Vertices: V"; a non-zero exit is
  # a refusal, whose reason is the last line said.
  if out=$("$tool" info "$file" 2>&1); then
    read -r tf tv < <(tail -n 1 <<<"$out" | awk '{ print $2, $4 }')
  else
    tf=refused tv=- terr=$(tail -n 1 <<<"$out"); terr=${terr##*: }
  fi
  read -r av af pv pm aerr < <(assimp_counts "$file")
  # A PLY file without faces is a point cloud: assimp puts its vertices in a point mesh,
  # Tessera keeps them as the object's vertices.
  if [ "$ext" = ply ] && [ "$av" != refused ]; then av=$((av + pv)); pm=0; fi

  if [ "$tf" = refused ] && [ "$av" = refused ]; then verdict="same (both refuse)"
  elif [ "$tf" = refused ]; then verdict="differs: only Tessera refuses ($terr)"
  elif [ "$av" = refused ] && [ "$tf$tv" = 00 ]; then verdict="same (empty; assimp refuses it: $aerr)"
  elif [ "$av" = refused ]; then verdict="differs: only assimp refuses ($aerr)"
  elif [ "$tf" != "$af" ]; then verdict="differs"
  elif [ "$ext" = stl ]; then
    # Tessera welds corners with equal coordinates into one vertex; assimp keeps 3 a facet.
    if [ "$tv" -le "$av" ]; then verdict="same faces (vertices: Tessera welds equal corners, assimp keeps 3 a facet)"
    else verdict="differs (more vertices than corners)"; fi
  elif [ "$tv" != "$av" ]; then verdict="differs"
  elif [ "$pm" -gt 0 ]; then verdict="same (assimp's $pm point/line primitives, $pv vertices, left out: Tessera skips them)"
  else verdict="same"
  fi
  t="$tv v $tf f"; [ "$tf" = refused ] && t=refused
  a="$av v $af f"; [ "$av" = refused ] && a=refused
  printf '%s  tessera %s  assimp %s  %s\n' "$file" "$t" "$a" "$verdict"
done
