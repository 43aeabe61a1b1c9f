#!/usr/bin/env bash
# Installs the Debian 12 tools that scripts/compare-counts.sh and the making of
# tests/data/real/ use: an independent reader to count against, and writers of
# STL, PLY, glTF (compressed ones too) and VTK files; gifsicle, which reads and plays animated GIFs;
# and lintian, which the packaging test runs on the
# Debian package where it is installed. Not needed to build or test the project.
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
  # glTF optimiser: writes meshopt-compressed, quantised glTF (EXT_meshopt_compression)
  gltfpack
  # VTK's own writers: legacy binary .vtk and XML .vtp (ascii, base64, appended, zlib)
  python3-vtk9
  # Debian's package checker
  lintian
  # an independent GIF reader (gifsicle --info) and player (gifview) for the animated GIFs
  gifsicle
)

"$(dirname "$0")/install-packages.sh" "${packages[@]}"
