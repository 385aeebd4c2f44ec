#!/usr/bin/env bash
# Builds the release of the Windows program and writes it to dist/:
#
#   quillmark-<version>-portable.zip  one folder Quillmark/ with quillmark.exe and readme.txt
#   quillmark-<version>-setup.exe     the per-user installer (NSIS)
#   SHA256SUMS                        for both (sha256sum -c SHA256SUMS)
#
# <version> is the project's version in CMakeLists.txt. The program is the
# 32-bit one that ships (the windows preset, a release build: stripped, with
# ASLR and DEP). Needs what scripts/setup.sh installs.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"

for tool in cmake i686-w64-mingw32-g++-posix makensis zip sha256sum; do
  command -v "$tool" >/dev/null 2>&1 || { echo "package: $tool is missing: run scripts/setup.sh" >&2; exit 1; }
done

mkdir -p build
cmake --preset windows >build/windows-configure.log 2>&1 || { cat build/windows-configure.log >&2; exit 1; }
cmake --build --preset windows --target quillmark
version=$(cat build/windows/version.txt)
program=build/windows/program

# The files as they ship, dated by the last commit so that the zip does not
# change with the time of the build.
stage=$here/build/package/stage
rm -rf "$stage"
mkdir -p "$stage/Quillmark"
cp "$program/quillmark.exe" "$program/readme.txt" "$stage/Quillmark/"
stamp=$(git log -1 --format=%ct 2>/dev/null || date +%s)
touch -d "@$stamp" "$stage/Quillmark" "$stage/Quillmark/quillmark.exe" "$stage/Quillmark/readme.txt"

dist=$here/dist
zip_name=quillmark-$version-portable.zip
setup_name=quillmark-$version-setup.exe
rm -rf "$dist"
mkdir -p "$dist"
(cd "$stage" && TZ=UTC zip -X -q "$dist/$zip_name" Quillmark/ Quillmark/quillmark.exe Quillmark/readme.txt)
makensis -V2 -DIDENTITY="$here/build/windows/identity.nsh" -DTARGET=x86-unicode -DPROGRAM_DIR="$stage/Quillmark" \
  -DOUTFILE="$dist/$setup_name" installer/quillmark.nsi
(cd "$dist" && sha256sum "$zip_name" "$setup_name" >SHA256SUMS)

echo "package: Quillmark $version in $dist:"
(cd "$dist" && ls -l "$zip_name" "$setup_name" SHA256SUMS | awk '{ print "  " $5 "\t" $9 }')
