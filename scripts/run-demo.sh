#!/usr/bin/env bash
# The main job, as a user does it: the stand-in CAD program opens the bundled
# sample drawing, orveline.exe runs beside it under Wine, and a scripted user
# types the CSV path (C:\積算\1階平面.csv, in the Wine prefix's drive C:) into
# the dialog and clicks the run button; in the CAD program the scripted user
# picks entities. Leaves in out/ (the pictures are the guide's, docs/images/):
#   sample.csv      the quantity list (Shift-JIS), printed below decoded
#   dialog.png      the dialog before the run, the banner's text at its start
#   settings.png    the settings window open (system menu, 設定...)
#   takeoff.png     the same with the take-off filled in
#   notice.png      the CAD program's command line after the run, with the notice
#   screen-*.png    the whole screen at each of those moments
#   transcript.txt  the conversation as the stand-in received it
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${JOBS:-$(nproc)}
build=${BUILD_DIR:-$root/build}
out=$root/out
# The entities the scripted user picks (0-based, in drawing order).
# 80 to 86 are the symbols with attributes (two copied onto others), 87 the
# hatched room.
pick=${PICK:-1,2,3,6,7,8,11,12,14,20,21,22,26,27,32,36,41,42,45,50,51,57,60,63,74,80,81,82,83,84,85,86,87}
# TAKEOFF=1: the scripted user turns the take-off on in the settings window
# (symbols counted by 品番 and 寸法, areas, metres) before the run; without it,
# off.
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
drive() { wine_run "$build/win/app/orveline-drive.exe" "$@"; }
# Where a window is: "WIDTHxHEIGHT+LEFT+TOP" from `orveline-drive where`.
place() { drive where | tr -d '\r' | sed -n "s/^$1 //p" | head -1; }
# cut SCREEN GEOMETRY MARGIN OUT: the part GEOMETRY of the screenshot, MARGIN
# pixels wider on each side (kept inside the screen).
cut() {
  local screen=$1 geometry=$2 margin=$3 target=$4
  [[ $geometry =~ ^([0-9]+)x([0-9]+)\+(-?[0-9]+)\+(-?[0-9]+)$ ]] || { echo "(no picture: $target)"; return 0; }
  local w=${BASH_REMATCH[1]} h=${BASH_REMATCH[2]} x=${BASH_REMATCH[3]} y=${BASH_REMATCH[4]}
  x=$((x - margin)) y=$((y - margin)) w=$((w + 2 * margin)) h=$((h + 2 * margin))
  ((x >= 0)) || { w=$((w + x)); x=0; }
  ((y >= 0)) || { h=$((h + y)); y=0; }
  convert "$screen" -crop "${w}x${h}+${x}+${y}" +repage "$target"
}
# command_line_place OUTPUT INPUT DIALOG: the command line's last two history
# lines (of three, each a third of the output pane less its 6-pixel border)
# and its input line, as far to the right as the dialog leaves it in view.
command_line_place() {
  python3 - "$@" <<'PY'
import re, sys
def box(g):
    m = re.fullmatch(r"(\d+)x(\d+)\+(-?\d+)\+(-?\d+)", g)
    return tuple(map(int, m.groups())) if m else None
output, input_, dialog = (box(g) for g in sys.argv[1:4])
if output and input_:
    left, top = input_[2], output[3] + (output[1] - 6) // 3 + 1
    right, bottom = input_[2] + input_[0], input_[3] + input_[1]
    if dialog and left + 300 < dialog[2] < right:
        right = dialog[2] - 4
    print(f"{right - left}x{bottom - top}+{left}+{top}")
PY
}
# caption_is_blue SCREEN GEOMETRY: whether the window's title bar, 8 pixels
# below its top edge in the middle, has the active caption's blue.
caption_is_blue() {
  [[ $2 =~ ^([0-9]+)x[0-9]+\+(-?[0-9]+)\+(-?[0-9]+)$ ]] || return 1
  local rgb
  rgb=$(convert "$1" -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' \
      -crop "1x1+$((BASH_REMATCH[2] + BASH_REMATCH[1] / 2))+$((BASH_REMATCH[3] + 8))" info: 2>/dev/null) || return 1
  read -r red _ blue <<<"$rgb"
  ((blue > red + 60))
}
# The left edge of the banner's text, in pixels from the banner's left (the
# banner is 201x35 at 8,8 of the dialog's client area).
banner_text_left() {
  local client=$1 screen=$2
  [[ $client =~ ^[0-9]+x[0-9]+\+(-?[0-9]+)\+(-?[0-9]+)$ ]] || { echo 999; return; }
  local box
  box=$(convert "$screen" -crop "201x35+$((BASH_REMATCH[1] + 8))+$((BASH_REMATCH[2] + 8))" +repage \
      -fuzz 15% -format '%@' info: 2>/dev/null) || { echo 999; return; }
  [[ $box =~ ^[0-9]+x[0-9]+\+([0-9]+)\+ ]] && echo "${BASH_REMATCH[1]}" || echo 999
}

mkdir -p "$out"
rm -f "$out/sample.csv" "$out/transcript.txt" "$out/ready.txt"
# The list goes where a user might keep it: C:\積算\1階平面.csv.
example_dir=$prefix/drive_c/積算
example='C:\積算\1階平面.csv'
echo "== starting the stand-in CAD program with samples/sample.dxf ${STANDIN_ARGS:-}"
wine_run "$build/win/standin/cad-standin.exe" --drawing "$root/samples/sample.dxf" \
    --pick "$pick" --pick-delay 1500 --transcript "$out/transcript.txt" --ready "$out/ready.txt" \
    ${standin_args[@]+"${standin_args[@]}"} &
standin=$!
for _ in $(seq 1 300); do [ -f "$out/ready.txt" ] && break; sleep 0.2; done
[ -f "$out/ready.txt" ] || { echo "the stand-in did not start" >&2; exit 1; }
mkdir -p "$example_dir"
rm -f "$example_dir/1階平面.csv"

echo "== starting orveline.exe"
wine_run "${ORVELINE_EXE:-$build/win/app/orveline.exe}" &
dialog=$!
sleep 3
# The dialog's picture when the banner's text has just come in from the
# right: its start near the banner's left edge, readable.
client=$(place client)
previous=999
for _ in $(seq 1 80); do
  shot "$out/screen-dialog.png"
  left=$(banner_text_left "$client" "$out/screen-dialog.png")
  if ((left >= 2 && left <= 40 && previous > left && previous < 999)); then break; fi
  previous=$left
done
cut "$out/screen-dialog.png" "$(place dialog)" 0 "$out/dialog.png"
drive settings
settings=$(place settings)
# Taken once the window is active: the middle of its title bar blue.
for _ in $(seq 1 20); do
  sleep 0.5
  shot "$out/screen-settings.png"
  caption_is_blue "$out/screen-settings.png" "$settings" && break
done
cut "$out/screen-settings.png" "$settings" 0 "$out/settings.png"
# The take-off filled in, for its picture; kept for the run only with
# TAKEOFF=1 (the settings file remembers the choice, so it is turned off
# otherwise).
drive takeoff "品番,寸法" m
sleep 0.5
shot "$out/screen-takeoff.png"
cut "$out/screen-takeoff.png" "$settings" 0 "$out/takeoff.png"
if [ -n "${TAKEOFF:-}" ]; then
  drive settings-ok
else
  drive takeoff off
  drive settings-ok
fi

echo "== the user types $example and clicks 実　行"
# The run may end without a list (a CAD program that does not answer): the
# dialog's message is printed, and the dialog is closed all the same.
drive run "$example" | iconv -f CP932 -t UTF-8 || echo "(the run wrote no $example)"
[ -f "$example_dir/1階平面.csv" ] && cp "$example_dir/1階平面.csv" "$out/sample.csv"
sleep 1
shot "$out/screen-notice.png"
cut "$out/screen-notice.png" "$(command_line_place "$(place output)" "$(place input)" "$(place dialog)")" 0 \
    "$out/notice.png"
drive close
WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
wait "$standin" "$dialog" 2>/dev/null || true

echo
if [ -f "$out/sample.csv" ]; then
  echo "out/sample.csv: layer, length, count, kind, duplicates, colour, linetype${TAKEOFF:+ (symbols: block name, 品番, 寸法)}"
  iconv -f CP932 -t UTF-8 "$out/sample.csv" | tr -d '\r'
else
  echo "no out/sample.csv"
fi
echo
echo "Screenshots: out/dialog.png, out/settings.png, out/takeoff.png, out/notice.png; conversation: out/transcript.txt"
