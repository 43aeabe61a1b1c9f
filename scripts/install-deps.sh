#!/usr/bin/env bash
# Installs every Debian 12 package the project builds, tests and runs with.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ clang pkg-config
  # fuzzing runtime for clang's sanitizers
  libclang-rt-14-dev
  # OpenGL 1.1 + GLU, software rasteriser, offscreen rendering
  libgl-dev libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri libosmesa6-dev
  # window system
  qt6-base-dev libqt6opengl6-dev
  # PNG and JPEG pictures
  libpng-dev libjpeg-dev
  # deflate: compressed DirectX files
  zlib1g-dev
  # desktop integration checks: entries, metainfo, the MIME database and its lookups
  desktop-file-utils appstream shared-mime-info libglib2.0-bin
  # the Debian package: dpkg-shlibdeps, and file, with which CPack finds the libraries to look up
  dpkg-dev file
  # tests, benchmarks, number parsing
  libgtest-dev libgmock-dev libbenchmark-dev libfast-float-dev libtinyobjloader-dev
  # glTF parsing
  libtinygltf-dev nlohmann-json3-dev
  # compressed glTF meshes: Draco and meshopt
  libdraco-dev libmeshoptimizer-dev
  # the other formats: the import library, loaded by tessera-import alone
  libassimp-dev
  # VTK XML polydata
  libtinyxml2-dev
  # GUI tests without a display
  xvfb xauth
)

"$(dirname "$0")/install-packages.sh" "${packages[@]}"
