#!/usr/bin/env bash
# The main job, as a user does it: the stand-in CAD program opens the bundled
# sample drawing, orveline.exe runs beside it under Wine, and a scripted user
# types the CSV path into the dialog and clicks the run button; in the CAD
# program the scripted user picks entities. Leaves in out/:
#   sample.csv      the quantity list (Shift-JIS), printed below decoded
#   dialog.png      the screen with the dialog before the run
#   settings.png    the screen with the settings window open (system menu, 設定...)
#   notice.png      the screen after the run: the notice on the command line
#   transcript.txt  the conversation as the stand-in received it
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${JOBS:-$(nproc)}
build=${BUILD_DIR:-$root/build}
out=$root/out
# The entities the scripted user picks (0-based, in drawing order).
pick=${PICK:-1,2,3,6,7,8,11,12,14,20,21,22,26,27,32,36,41,42,45,50,51,57,60,63,74}
# The program to run: the one just built, or ORVELINE_EXE (a released one).
# More options for the stand-in, e.g. STANDIN_ARGS="--lag 350 --busy-during-export 2500"
# (standin/README.md lists them).
read -r -a standin_args <<<"${STANDIN_ARGS:-}"

"$root/scripts/setup.sh"

echo "== building the Windows programs (first time: a few minutes)"
cmake -S . -B "$build/win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DORVELINE_BENCH=OFF >/dev/null
cmake --build "$build/win" --target orveline orveline_standin orveline-drive -j "$jobs" >/dev/null

. "$root/scripts/xvfb.sh"
prefix=$build/win/wineprefix
wine_run() { "$root/scripts/wine-run" "$prefix" "$@"; }
windows_path() { echo "Z:$1" | tr / '\\'; }
shot() { import -window root "$1" 2>/dev/null || echo "(no screenshot: $1)"; }

mkdir -p "$out"
rm -f "$out/sample.csv" "$out/transcript.txt" "$out/ready.txt"
echo "== starting the stand-in CAD program with samples/sample.dxf ${STANDIN_ARGS:-}"
wine_run "$build/win/standin/cad-standin.exe" --drawing "$root/samples/sample.dxf" \
    --pick "$pick" --pick-delay 1500 --transcript "$out/transcript.txt" --ready "$out/ready.txt" \
    ${standin_args[@]+"${standin_args[@]}"} &
standin=$!
for _ in $(seq 1 300); do [ -f "$out/ready.txt" ] && break; sleep 0.2; done
[ -f "$out/ready.txt" ] || { echo "the stand-in did not start" >&2; exit 1; }

echo "== starting orveline.exe"
wine_run "${ORVELINE_EXE:-$build/win/app/orveline.exe}" &
dialog=$!
sleep 3
shot "$out/dialog.png"
wine_run "$build/win/app/orveline-drive.exe" settings
sleep 1
shot "$out/settings.png"
wine_run "$build/win/app/orveline-drive.exe" settings-cancel

echo "== the user types $(windows_path "$out/sample.csv") and clicks 実　行"
# The run may end without a list (a CAD program that does not answer): the
# dialog's message is printed, and the dialog is closed all the same.
wine_run "$build/win/app/orveline-drive.exe" run "$(windows_path "$out/sample.csv")" \
    | iconv -f CP932 -t UTF-8 || echo "(the run wrote no out/sample.csv)"
sleep 1
shot "$out/notice.png"
wine_run "$build/win/app/orveline-drive.exe" close
WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
wait "$standin" "$dialog" 2>/dev/null || true

echo
if [ -f "$out/sample.csv" ]; then
  echo "out/sample.csv: layer, length, count, kind, duplicates, colour, linetype"
  iconv -f CP932 -t UTF-8 "$out/sample.csv" | tr -d '\r'
else
  echo "no out/sample.csv"
fi
echo
echo "Screenshots: out/dialog.png, out/settings.png, out/notice.png; conversation: out/transcript.txt"
