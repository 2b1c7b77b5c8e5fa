#!/usr/bin/env bash
# make package: the archive a pilot installs, dist/Tarvex-<version>.zip, and
# its SHA-256 checksum beside it. It holds the Microsoft-ABI Tarvex.dll (built
# and checked here), the class file, the pilot's manual generated from the
# module and a short text file, laid out as the host's folder. The stand-in
# host and sound service never go in. The same sources give the same archive,
# byte for byte.
set -euo pipefail
cd "$(dirname "$0")/.."

step() { echo "== package: $*"; }

bash .ci/deps msvc package

step "flight host and manual (preset default)"
timeout 300 cmake --preset default >/dev/null
timeout 1800 cmake --build --preset default --target tarvex-sim tarvex-manual tarvex_manual
version=$(build/bin/tarvex-sim --version | sed -n '1s/^tarvex-sim //p')
[ -n "$version" ] || { echo "package: tarvex-sim gives no version" >&2; exit 1; }

step "Microsoft-ABI Tarvex.dll and its checks (preset msvc)"
timeout 300 cmake --preset msvc >/dev/null
timeout 1800 cmake --build --preset msvc --target Tarvex orbiter tarvex_vftable_layouts
timeout 300 ctest --preset msvc -R '^msvc\.check\.(TarvexTables|ShuttlePBVftable)$'

step "Tarvex-$version.zip"
name=Tarvex-$version
stage=build-msvc/package/$name
rm -rf "$stage"
mkdir -p "$stage/Modules" "$stage/Config/Vessels" "$stage/Doc" dist
cp build-msvc/bin/Tarvex.dll "$stage/Modules/Tarvex.dll"
cp package/Tarvex.cfg "$stage/Config/Vessels/Tarvex.cfg"
cp build/package/Doc/Tarvex.html "$stage/Doc/Tarvex.html"
cat >"$stage/Doc/Tarvex.txt" <<TEXT
Tarvex $version: a short-take-off and vertical-landing jet fighter for the
Orbiter space-flight simulator (interface edition of 30 August 2010).

Unpack this archive into the simulator's folder, keeping its folders:

  Modules\\Tarvex.dll          the vessel module
  Config\\Vessels\\Tarvex.cfg   the class file naming it (class Tarvex)
  Doc\\Tarvex.html             the pilot's manual: keys, cockpit, HUD,
                              envelope, procedures, and the art list
  Doc\\Tarvex.txt              this file

Not in this archive: the art. The meshes (Meshes\\Pelgar\\...), the exhaust
texture and the sounds (Sound\\Pelgar-Tarvex\\...) come separately; the
manual's last section names every file and mesh group they must provide.
Sounds need the OrbiterSound module (3.5), activated in the simulator;
without it the Tarvex flies silently.
TEXT
# Fixed times and order, so the archive depends on its contents alone.
find "$stage" -exec touch -h -d '2011-03-03 00:00:00 UTC' {} +
rm -f "dist/$name.zip"
(cd "$stage" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | TZ=UTC zip -X -q -@ "../../../dist/$name.zip")
(cd dist && sha256sum "$name.zip" >"$name.zip.sha256")
echo "package: dist/$name.zip ($(stat -c %s "dist/$name.zip") bytes), checksum in dist/$name.zip.sha256"
unzip -l "dist/$name.zip" | sed 's/^/  /'
