#!/usr/bin/env bash
# The download for Windows: built, listed, unpacked into a clean Wine prefix;
# from there the program starts, corvellactl beside it reaches it, and the
# manual beside it opens (the Windows half is PackageBox in the Wine tests).
#   package_test.sh SOURCE_DIR WIN32_BUILD_DIR
set -uo pipefail
src=$1 bin=$2
work=$bin/tests/package
fail() { echo "FAIL: $*"; exit 1; }

rm -rf "$work"
mkdir -p "$work"
zip=$("$src/scripts/package.sh" --no-build "$work/dist") || fail "package.sh"
case "$zip" in */corvella-[0-9]*-win32.zip) ;; *) fail "zip name: $zip" ;; esac
name=$(basename "$zip" .zip)
listing=$(unzip -Z1 "$zip")
echo "$listing"
for f in corvella.exe corvellactl.exe readme.txt help/index.html help/control.html \
         licenses/mingw-w64-runtime.txt licenses/gcc-runtime.txt licenses/GPL-3.txt; do
  grep -qx "$name/$f" <<< "$listing" || fail "$f missing from the zip"
done
unzip -q "$zip" -d "$work/unpacked" || fail "unzip"
# The readme is Shift-JIS text with CR LF that names the version.
iconv -f CP932 -t UTF-8 "$work/unpacked/$name/readme.txt" > "$work/readme.utf8" || fail "readme is not Shift-JIS"
version=${name#corvella-}
version=${version%-win32}
head -n 1 "$work/readme.utf8" | grep -q "^Corvella $version（" || fail "readme does not name the version"
grep -q $'\r$' "$work/unpacked/$name/readme.txt" || fail "readme lines do not end in CR LF"

# A prefix of its own, made for this test and removed after it.
export CORVELLA_WINEPREFIX=$work/prefix CORVELLA_NO_CRASH_DIALOG=1
export CORVELLA_ROOT=$src
. "$src/scripts/wine-env.sh"
corvella_wine_up || fail "Wine prefix"
trap 'wineserver -k >/dev/null 2>&1; rm -rf "$WINEPREFIX"' EXIT
mv "$work/unpacked/$name" "$WINEPREFIX/drive_c/$name" || fail "move into the prefix"
if [ "$CORVELLA_WIN" = win64 ]; then
  # This kernel runs no 32-bit code: the unpacked folder runs the 64-bit
  # build of the same programs, beside the packed manual and readme.
  cp "$bin/corvella.exe" "$bin/corvellactl.exe" "$WINEPREFIX/drive_c/$name/" || fail "64-bit programs"
fi
CORVELLA_PACKAGE_DIR="C:\\$name" wine "$bin/tests/wine/wine_tests.exe" \
  --gtest_filter='PackageBox.*' > "$work/wine.log" 2>&1
cat "$work/wine.log"
grep -q '^\[  PASSED  \] 1 test' "$work/wine.log" || fail "PackageBox"
grep -q 'SKIPPED' "$work/wine.log" && fail "PackageBox was skipped"
echo "package: ok"
