#!/usr/bin/env bash
# Makes the release package: out/orveline-VERSION.zip holding orveline.exe,
# orveline-report.exe, the guide as a plain HTML page with its pictures,
# README.txt (what it is, what it needs, how to start, where its files are,
# the version and the licence) and LICENSE. VERSION is the project's
# version from the top CMakeLists.txt, the same that the programs' version
# resource and `orveline-report --version` carry.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${JOBS:-$(nproc)}
build=${BUILD_DIR:-$root/build}/release
out=$root/out

"$root/scripts/setup.sh"

echo "== building orveline.exe and orveline-report.exe"
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DORVELINE_TESTS=OFF -DORVELINE_BENCH=OFF ${launcher[@]+"${launcher[@]}"} >/dev/null
cmake --build "$build" --target orveline orveline-report -j "$jobs" >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "make-release: no project version in $build" >&2; exit 1; }
commit=$(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo unknown)
copyright=$(grep -m1 '^Copyright ' "$root/LICENSE")

name=orveline-$version
stage=$build/stage/$name
rm -rf "$build/stage"
mkdir -p "$stage/images" "$out"
cp "$build/app/orveline.exe" "$build/cli/orveline-report.exe" "$stage/"
cp docs/images/*.png "$stage/images/"

# The guide as one plain page (UTF-8), its pictures beside it: Debian's
# Python, which has python3-markdown.
py=/usr/bin/python3
[ -x "$py" ] || py=python3
"$py" "$root/scripts/guide_html.py" "$root/docs/guide.md" "$stage/guide.html" "$version"
cp "$root/LICENSE" "$stage/LICENSE"

# README.txt: UTF-8 with a byte-order mark and CR LF, so that Notepad shows
# it right.
{
  printf '\xef\xbb\xbf'
  sed -e "s/@VERSION@/$version/g" -e "s/@COMMIT@/$commit/g" -e "s/@COPYRIGHT@/$copyright/g" \
      "$root/docs/release-readme.txt" | sed 's/$/\r/'
} >"$stage/README.txt"

rm -f "$out/$name.zip"
(cd "$build/stage" && zip -q -r -X "$out/$name.zip" "$name")
echo "== $out/$name.zip"
unzip -l "$out/$name.zip"
