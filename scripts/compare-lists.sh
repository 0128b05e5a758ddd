#!/usr/bin/env bash
# Compares the lists that two builds of orveline-report write:
#   scripts/compare-lists.sh OLD_TOOL NEW_TOOL [WORK_FOLDER]
# Every drawing of samples/, testdata/, standin/testdata/ and, when it stands
# beside the checkout, shared/drawings, plus two generated 100,000-entity
# drawings when orveline-gen is beside NEW_TOOL's build, is listed in several
# forms (plain, --exact, --totals --header, --json, --exact --json,
# --summary, --exact --summary), and so are several drawings at once, a
# folder and a difference. The CSV, standard error and exit code of each run
# are compared byte for byte; the ones that differ are named.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
old=$(realpath "$1")
new=$(realpath "$2")
work=${3:-$(mktemp -d)}
mkdir -p "$work/old" "$work/new"

drawings=()
for folder in "$root/samples" "$root/testdata" "$root/standin/testdata" "$root/../shared/drawings"; do
  [ -d "$folder" ] || continue
  for f in "$folder"/*.dxf; do [ -f "$f" ] && drawings+=("$f"); done
done
gen=$(dirname "$new")/../bench/orveline-gen
if [ -x "$gen" ]; then
  for seed in 1 2; do
    [ -f "$work/gen$seed.dxf" ] || "$gen" 100000 "$work/gen$seed.dxf" "$seed" >/dev/null
    drawings+=("$work/gen$seed.dxf")
  done
fi

run_all() {  # TOOL OUT
  local tool=$1 out=$2 i=0
  for f in "${drawings[@]}"; do
    i=$((i + 1))
    local name
    name=$(basename "$f" .dxf)_$i
    for mode in plain exact th json ejson summary esummary; do
      local args=()
      case $mode in
        exact) args=(--exact) ;; th) args=(--totals --header) ;; json) args=(--json) ;;
        ejson) args=(--exact --json) ;; summary) args=(--summary) ;; esummary) args=(--exact --summary) ;;
      esac
      local rc=0
      "$tool" ${args[@]+"${args[@]}"} "$f" "$out/$name.$mode.csv" 2>"$out/$name.$mode.err" || rc=$?
      echo "$rc" >"$out/$name.$mode.rc"
    done
  done
  local rc=0
  "$tool" "$root/samples/sample.dxf" "$root/testdata/worked_example.dxf" "$out/several.csv" 2>"$out/several.err" || rc=$?
  echo "$rc" >"$out/several.rc"
  rc=0
  "$tool" --exact --summary "$root/testdata" "$out/folder.csv" 2>"$out/folder.err" || rc=$?
  echo "$rc" >"$out/folder.rc"
  rc=0
  "$tool" --diff "$root/samples/sample.dxf" "$root/testdata/worked_example.dxf" "$out/diff.csv" 2>"$out/diff.err" || rc=$?
  echo "$rc" >"$out/diff.rc"
}

run_all "$old" "$work/old"
run_all "$new" "$work/new"
differ=0 total=0
for f in "$work/old"/*; do
  total=$((total + 1))
  other="$work/new/$(basename "$f")"
  if ! cmp -s "$f" "$other"; then
    echo "differs: $(basename "$f")"
    differ=$((differ + 1))
  fi
done
echo "${#drawings[@]} drawings, $total files compared, $differ differ (in $work)"
[ "$differ" = 0 ]
