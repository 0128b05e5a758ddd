#!/usr/bin/env bash
# A bounded fuzz run of the DXF reader and the report:
#   fuzz/run.sh BUILD_DIR SECONDS
# BUILD_DIR is configured with CXX=clang++ -DORVELINE_FUZZ=ON and built.
# Seeds: the project's drawings (samples/, testdata/, standin/testdata/) and,
# when a folder shared/drawings stands beside the checkout, its drawings too.
# The corpus grows in BUILD_DIR/fuzz-corpus, never in the repository.
set -euo pipefail
build=$1
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
fuzzer="$build/fuzz/orveline_report_fuzzer"
corpus="$build/fuzz-corpus"
mkdir -p "$corpus" "$build/fuzz-artifacts"
# An input's first byte chooses the options (bit 0 exact lengths, bit 1 the
# tally, bit 2 the totals column, bit 4 areas): each drawing seeds the plain
# list, the exact one with the tally, and the areas with the tally.
seed() {  # FOLDER PREFIX: its drawings, named apart from those of other folders
  [ -d "$1" ] || return 0
  for dxf in "$1"/*.dxf; do
    [ -f "$dxf" ] || continue
    name=$2$(basename "$dxf")
    [ -e "$corpus/plain-$name" ] || { printf '\000'; cat "$dxf"; } >"$corpus/plain-$name"
    [ -e "$corpus/exact-$name" ] || { printf '\003'; cat "$dxf"; } >"$corpus/exact-$name"
    [ -e "$corpus/areas-$name" ] || { printf '\022'; cat "$dxf"; } >"$corpus/areas-$name"
  done
  return 0
}
seed "$root/samples" samples-
seed "$root/testdata" testdata-
seed "$root/standin/testdata" standin-
seed "$root/../shared/drawings" shared-
"$fuzzer" "$corpus" -dict="$root/fuzz/dxf.dict" -max_total_time="$seconds" -max_len=65536 \
    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/fuzz-artifacts/" 2>&1 | tail -n 20
# libFuzzer exits non-zero on a crash, leak or timeout; pipefail passes that on.
echo "fuzz: no crash, leak or hang in ${seconds}s"
