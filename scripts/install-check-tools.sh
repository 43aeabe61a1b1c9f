#!/usr/bin/env bash
# Installs the Debian 12 tools that scripts/compare-counts.sh and the making of
# tests/data/real/ use: an independent reader to count against, and writers of
# STL, PLY and glTF files. Not needed to build or test the project.
# Idempotent: only missing packages are installed; apt is not touched otherwise.
set -euo pipefail

packages=(
  # independent reader and writer of STL, PLY, glTF (assimp info / assimp export)
  assimp-utils
  # STL repair tool: writes binary and ASCII STL
  admesh
  # solid modeller: writes ASCII and binary STL from small programs
  openscad
  # mesh processing: its meshlabserver writes PLY and STL; it needs a display, so run it
  # under xvfb-run (xvfb comes from scripts/install-deps.sh)
  meshlab
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
