#!/usr/bin/env bash
# The Debian package as a user gets it, without installing it: lintian and the desktop checks
# on its files, then its programs run from a temporary root it is extracted into, on copies of
# the demo data, beside the same runs from the build tree.
# Usage: packaging/deb_test.sh PACKAGE.deb BUILD_DIR
set -euo pipefail
deb=$(realpath "$1")
build=$(realpath "$2")
source_dir=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
bin=$root/usr/bin
fail() {
  echo "deb_test: $*" >&2
  exit 1
}

echo "== lintian"
lintian --fail-on error "$deb" 2> >(grep -v 'root privileges' >&2)

echo "== extract into a temporary root"
dpkg-deb -x "$deb" "$root"
[ ! -e "$bin/Gormik.so" ] && [ ! -e "$bin/TARVEXshell01.ini" ] ||
  fail "kernels or engine files beside the programs: the test would not test the installed layout"

echo "== desktop entry, metainfo, icon, manual pages"
desktop-file-validate "$root"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml
icon=$(sed -n 's/^Icon=//p' "$root"/usr/share/applications/*.desktop)
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no icon $icon.svg"
for program in "$bin"/*; do
  name=$(basename "$program")
  [ -f "$root/usr/share/man/man1/$name.1.gz" ] || fail "no manual page for $name"
done

echo "== nothing refers to the build"
if grep -rlF "$build" "$root"; then fail "files above name the build folder $build"; fi
while IFS= read -r elf; do
  paths=$(readelf -d "$elf" | sed -n 's/.*R\(UN\)\?PATH.*\[\(.*\)\]/\2/p')
  for path in ${paths//:/ }; do
    [[ $path == '$ORIGIN'* ]] || fail "$elf has the run path $path"
  done
  if ldd "$elf" | grep -q 'not found'; then fail "$elf: $(ldd "$elf" | grep 'not found')"; fi
done < <(find "$root" -type f -exec sh -c 'head -c4 "$1" | grep -q ELF' _ {} \; -print)

echo "== TARVEXshellv01 --check: the same report as from the build tree"
cp -R "$source_dir/examples/demo/data" "$work/data"
check() { "$1/TARVEXshellv01" --check "$work/data" --matrix --matrix-headings --flow-files --json -; }
status=0
check "$build/bin" >"$work/check-build" || status=$?
installed_status=0
check "$bin" >"$work/check-installed" || installed_status=$?
[ "$status" = "$installed_status" ] || fail "--check exits $installed_status, from the build $status"
diff -u "$work/check-build" "$work/check-installed" || fail "the reports differ"
grep -q '"stationCount": 12' "$work/check-installed" || fail "the report has not 12 stations"

echo "== TARVEXshellv01 --script: Steps 1 to 4 as from the build tree"
session() {
  rm -rf "$work/session"
  cp -R "$source_dir/examples/demo/data" "$work/session"
  (cd "$work/session" &&
    "$1/TARVEXshellv01" --script "$source_dir/examples/demo/session.txt" --date 2026-12-07)
}
session "$build/bin" >"$work/session-build"
session "$bin" >"$work/session-installed"
diff -u "$work/session-build" "$work/session-installed" || fail "the transcripts differ"
! grep -q "Fatal Error Loading Shell" "$work/session-installed" || fail "the engine was not found"
results=("$work"/session/TARVEXOutput-*/TARVEXResults.txt)
[ -f "${results[0]}" ] || fail "the run left no results in an output folder"
grep -q "^Flow characteristic " "${results[0]}" || fail "the results hold no fit"

echo "== plxcall runs a kernel from the installed kernel folder"
request='{"inputs": [{"class": "cell", "dims": [1, 1],
  "cells": [{"class": "double", "dims": [1, 2], "data": [1, 3]}]},
  {"class": "double", "dims": [1, 1], "data": [7]}]}'
expected=$(env -u PLX_KERNEL_PATH "$build/bin/plxcall" Gormik <<<"$request")
got=$(env -u PLX_KERNEL_PATH "$bin/plxcall" Gormik <<<"$request")
[ "$got" = "$expected" ] || fail "plxcall Gormik gave $got"
"$bin/TARVEXv1" --version | grep -q '^TARVEXv1 ' || fail "TARVEXv1 --version through bin/"

echo "== the window starts offscreen"
status=0
(cd "$work/session" && QT_QPA_PLATFORM=offscreen timeout 5 "$bin/TARVEXshellv01" >/dev/null 2>&1) ||
  status=$?
[ "$status" = 124 ] || fail "the window ended with status $status instead of running"

echo "deb_test: the package passes"
