#!/usr/bin/env bash
# The main job on the bundled sample drawing: builds the command-line tool,
# writes the quantity list of samples/sample.dxf to out/sample.csv (Shift-JIS)
# and prints its rows decoded for reading.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${JOBS:-$(nproc)}
build=${BUILD_DIR:-$root/build}

"$root/scripts/setup.sh"

cmake -S . -B "$build/native" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/native" --target orveline-report -j "$jobs" >/dev/null

mkdir -p out
"$build/native/cli/orveline-report" samples/sample.dxf out/sample.csv
echo "out/sample.csv: layer, length, count, kind, duplicates, colour, linetype"
iconv -f CP932 -t UTF-8 out/sample.csv | tr -d '\r'
