#!/usr/bin/env bash
# Installs the build into a scratch DESTDIR and checks what a Linux desktop
# reads of it: the desktop entry, the AppStream metainfo, the file types (each
# format's files looked up through a MIME database made from the system's and
# ours), the installed tool finding its renderer, and the Debian package.
#   tests/packaging/install_test.sh BUILD SOURCE
set -euo pipefail
build=$1 source=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# A step's own output is kept and shown only when it fails.
quiet() {
  "$@" >"$scratch/step.log" 2>&1 || { cat "$scratch/step.log" >&2; fail "$*"; }
}

DESTDIR=$scratch/root quiet cmake --install "$build" --prefix /usr
share=$scratch/root/usr/share
desktop-file-validate "$share/applications/org.tessera.Tessera.desktop" || fail "desktop entry"
quiet appstreamcli validate --no-net "$share/metainfo/org.tessera.Tessera.metainfo.xml"
for size in 16 22 24 32 48 64 128 256; do
  [ -f "$share/icons/hicolor/${size}x${size}/apps/org.tessera.Tessera.png" ] || fail "icon $size"
done
grep -q '^Exec=tessera-tool thumbnail -s %s %i %o$' "$share/thumbnailers/tessera.thumbnailer" || fail "thumbnailer"

# The types: one file of each format, the OFF one under an upper-case name too.
mkdir -p "$scratch/mime/mime/packages" "$scratch/files"
cp /usr/share/mime/packages/freedesktop.org.xml "$share/mime/packages/org.tessera.Tessera.xml" "$scratch/mime/mime/packages/"
quiet update-mime-database "$scratch/mime/mime"
data=$source/tests/data/formats
cp "$data/off/extra-numbers-on-face-lines.off" "$scratch/files/CUBE.OFF"
while read -r file type; do
  found=$(XDG_DATA_DIRS=$scratch/mime XDG_DATA_HOME=$scratch/none gio info -a standard::content-type "$file" |
          sed -n 's/.*content-type: //p')
  [ "$found" = "$type" ] || fail "$file is $found, not $type"
done <<LIST
$data/off/extra-numbers-on-face-lines.off application/x-off
$scratch/files/CUBE.OFF application/x-off
$data/vtk/faces-out-of-range.vtk application/x-vtk
$data/md2/first-frame.md2 application/x-md2
$data/mdl/bounds-from-the-stored-box.mdl application/x-mdl
$data/cob/holes-and-later-data.cob application/x-truespace
$data/3ds/meshes-among-lights-and-cameras.3ds image/x-3ds
$data/obj/bad-indices.obj model/obj
$data/stl/binary-cube-header-says-solid.stl model/stl
$data/stl/ascii-cube.stl model/stl
$data/ply/binary-le-mixed-types.ply application/x-ply
$data/ply/ascii-point-cloud.ply application/x-ply
$data/gltf/triangle-no-indices-no-scene.gltf model/gltf+json
$data/gltf/strip-fan-lines-quantized.glb model/gltf-binary
$data/lwo/classic-pairs.lwo image/x-lwo
$data/dxf/blocks-count.dxf image/vnd.dxf
$source/tests/data/real/3mf/box.3mf model/3mf
LIST
# Every type the thumbnailer and the entry name is one the database knows.
for type in $(sed -n 's/^MimeType=//p' "$share/applications/org.tessera.Tessera.desktop" | tr ';' ' '); do
  grep -q "^$type" "$scratch/mime/mime/types" || fail "unknown type $type"
done

# The installed tool finds its renderer and its importer in libexec.
"$scratch/root/usr/bin/tessera-tool" thumbnail -s 32 "$source/samples/torus.off" "$scratch/files/t.png" ||
  fail "installed thumbnail"
TESSERA_IMPORT_PROGRAM= "$scratch/root/usr/bin/tessera-tool" info "$source/tests/data/real/3mf/box.3mf" |
  grep -q '^Format: 3MF format$' || fail "installed import"

# The package: its files and the dependencies dpkg-shlibdeps found.
(cd "$build" && quiet cpack -G DEB -B "$scratch/package")
package=$(ls "$scratch"/package/tessera_*.deb)
depends=$(dpkg-deb -f "$package" Depends)
for library in libqt6widgets6 libosmesa6 libpng16-16 libjpeg62-turbo libassimp5 libc6; do
  [[ "$depends" == *"$library"* ]] || fail "no $library in: $depends"
done
contents=$(dpkg-deb -c "$package")
for file in libexec/tessera/tessera-render libexec/tessera/tessera-import share/man/man1/tessera.1.gz share/man/man1/tessera-tool.1.gz \
            share/doc/tessera/copyright share/doc/tessera/changelog.gz; do
  grep -q " \./usr/$file\$" <<<"$contents" || fail "$file not in the package"
done
gzip -t "$share/man/man1/tessera-tool.1.gz" || fail "manual page not compressed"
# Debian's checker, where scripts/install-check-tools.sh put it: no error.
if command -v lintian >/dev/null; then
  lintian --fail-on error "$package" >"$scratch/lintian.log" 2>&1 || { cat "$scratch/lintian.log" >&2; fail "lintian"; }
fi
echo "installed, looked up and packaged: $(basename "$package")"
echo "Depends: $depends"
