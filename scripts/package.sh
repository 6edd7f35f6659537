#!/usr/bin/env bash
# Builds the download for Windows users: dist/corvella-VERSION-win32.zip with
# corvella.exe, corvellactl.exe, the manual, a short Japanese readme and the
# licence texts of the runtime linked into the programs.
#   scripts/package.sh [--no-build] [OUTPUT_DIR]   (OUTPUT_DIR defaults to dist/)
set -euo pipefail
cd "$(dirname "$0")/.."
build=1
if [ "${1:-}" = --no-build ]; then build=0; shift; fi
out=${1:-dist}

if [ $build = 1 ]; then
  scripts/setup.sh
  scripts/build.sh win32
fi
# The version the programs carry in their version resource.
version=$(sed -n 's/.*VALUE "ProductVersion", "\([0-9.]*\)".*/\1/p' src/win32/corvella.rc | head -n 1)
[ -n "$version" ] || { echo "package: no version in src/win32/corvella.rc" >&2; exit 1; }
for f in build/win32/corvella.exe build/win32/corvellactl.exe; do
  [ -f "$f" ] || { echo "package: $f is not built" >&2; exit 1; }
done

name=corvella-$version-win32
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
root=$stage/$name
mkdir -p "$root/licenses"
cp build/win32/corvella.exe build/win32/corvellactl.exe "$root/"
# Debug information stays with the build; the download needs none.
i686-w64-mingw32-strip "$root/corvella.exe" "$root/corvellactl.exe"
cp -r help "$root/help"

# Windows text: code page 932 with CR LF, so every Japanese Windows shows it.
to_windows() { sed 's/$/\r/' | iconv -f UTF-8 -t CP932; }
sed "s/VERSION/$version/" scripts/package-readme.txt | to_windows > "$root/readme.txt"
# Linked statically into both programs: the MinGW-w64 runtime (with
# winpthreads) and GCC's runtime libraries (libgcc, libstdc++), under the GCC
# runtime library exception to the GPL version 3.
licence() { sed 's/$/\r/' "$1" > "$root/licenses/$2"; }
licence /usr/share/doc/mingw-w64-i686-dev/copyright mingw-w64-runtime.txt
licence /usr/share/doc/gcc-mingw-w64-base/copyright gcc-runtime.txt
licence /usr/share/common-licenses/GPL-3 GPL-3.txt

mkdir -p "$out"
zip_path=$(cd "$out" && pwd)/$name.zip
rm -f "$zip_path"
(cd "$stage" && TZ=UTC zip -q -r -X "$zip_path" "$name")
echo "$zip_path"
