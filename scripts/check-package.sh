#!/usr/bin/env bash
# Checks the Debian package made from a build folder: a picture deleted from the build folder
# is drawn again by the next build, the package is built with CPack, unpacked into a temporary
# folder (the machine's own /usr is not touched), it holds exactly the data the build declares
# (a stray file in the build folder stays out) in under 25 MB of files, its desktop entry and
# metainfo validate, the unpacked program starts headless through bin/plumetto, and the
# courses it ships open with the program's own reading code.
#   scripts/check-package.sh BUILD_DIR
set -euo pipefail

build=$(cd "${1:?usage: scripts/check-package.sh BUILD_DIR}" && pwd)
app_id=org.example.plumetto
tmp=$(mktemp -d)
stray=$build/app/images/hiragana/stray.png
trap 'rm -rf "$tmp" "$stray"' EXIT

fail() {
  echo "check-package: $*" >&2
  exit 1
}

echo "== The build draws again what is missing =="
picture=$build/app/images/hiragana/ka.png
rm -f "$picture"
cp "$build/app/images/vide.jpg" "$stray"
cmake --build "$build" --target plumetto_data >"$tmp/build.log" 2>&1 ||
  { cat "$tmp/build.log" >&2; fail "the build failed"; }
[ -f "$picture" ] || fail "the build did not draw again ${picture#"$build/"}"
echo "redrawn"

echo "== Debian package =="
cpack -G DEB -B "$tmp/cpack" --config "$build/CPackConfig.cmake" >"$tmp/cpack.log" 2>&1 ||
  { cat "$tmp/cpack.log" >&2; fail "cpack failed"; }
debs=("$tmp"/cpack/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one .deb, found: ${debs[*]}"
deb=${debs[0]}
echo "$(basename "$deb")"
dpkg-deb --field "$deb" Package Version Depends
depends=$(dpkg-deb --field "$deb" Depends)
[[ $depends == *libqt6widgets6* ]] || fail "the dependencies were not computed from the libraries"

root=$tmp/root
dpkg -x "$deb" "$root"
lib=$root/usr/lib/plumetto
for f in "$lib/plumetto" "$lib/images/vide.jpg" "$lib/exercices/kana.txt" \
  "$root/usr/share/applications/$app_id.desktop" \
  "$root/usr/share/metainfo/$app_id.metainfo.xml" \
  "$root/usr/share/icons/hicolor/32x32/apps/$app_id.png" \
  "$root/usr/share/icons/hicolor/scalable/apps/$app_id.svg" \
  "$root/usr/share/doc/plumetto/copyright" "$root/usr/share/doc/plumetto/NOTICES" \
  "$root/usr/share/doc/plumetto/kanjivg/COPYING"; do
  [ -f "$f" ] || fail "missing from the package: ${f#"$root"}"
done
[ "$(readlink "$root/usr/bin/plumetto")" = ../lib/plumetto/plumetto ] ||
  fail "usr/bin/plumetto does not lead to usr/lib/plumetto/plumetto"
[ -x "$root/usr/bin/plumetto" ] || fail "usr/bin/plumetto is not a runnable program"

echo "== The package holds the declared data, nothing else =="
LC_ALL=C sort "$build/shipped-files.txt" >"$tmp/declared"
# The program and the statistics' chart module are its code, not data.
[ -f "$lib/libplumetto_charts.so" ] || fail "missing from the package: the chart module"
(cd "$lib" && find . -type f ! -path ./plumetto ! -path ./libplumetto_charts.so | sed 's|^\./||' |
  LC_ALL=C sort) >"$tmp/packaged"
diff "$tmp/declared" "$tmp/packaged" >&2 ||
  fail "the package's data differ from the build's declared outputs (<: declared, >: packaged)"
echo "$(wc -l <"$tmp/packaged") files, $(du -sk "$lib" | cut -f1) KiB in ${lib#"$root"}"

echo "== Installed size =="
# The files' own sizes, and what they take on this disk, block by block.
bytes=$(find "$root" -type f -printf '%s\n' | awk '{ total += $1 } END { print total }')
echo "$bytes bytes in $(find "$root" -type f | wc -l) files, $(du -sk "$root" | cut -f1) KiB on disk"
[ "$bytes" -le 25000000 ] || fail "the package's files take over 25 MB"

echo "== Desktop entry and metainfo =="
desktop-file-validate "$root/usr/share/applications/$app_id.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml"

echo "== The unpacked program starts headless =="
# It runs until it is stopped: being stopped by the timeout means it started.
status=0
QT_QPA_PLATFORM=offscreen timeout 5 "$root/usr/bin/plumetto" || status=$?
[ "$status" -eq 124 ] || fail "the unpacked program ended by itself with status $status"
echo "started"

echo "== The unpacked courses open =="
tester=$build/tests/courses/tst_shippedcourses
[ -x "$tester" ] || fail "build $tester first"
PLUMETTO_TEST_APP_DIR=$lib "$tester"
echo "package checked"
