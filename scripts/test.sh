#!/usr/bin/env bash
# Runs every test: the portable core natively, under AddressSanitizer and
# UndefinedBehaviorSanitizer, a short fuzz run, and the Windows programs
# (cross-compiled with MinGW-w64) under Wine on a virtual display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${JOBS:-$(nproc)}
build=${BUILD_DIR:-$root/build}

"$root/scripts/setup.sh"

echo "== native build and tests"
cmake -S . -B "$build/native" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/native" -j "$jobs"
ctest --test-dir "$build/native" --output-on-failure -j "$jobs"

echo "== sanitizer build and tests"
cmake -S . -B "$build/asan" -DCMAKE_BUILD_TYPE=Debug -DORVELINE_SANITIZE=ON -DORVELINE_BENCH=OFF >/dev/null
cmake --build "$build/asan" -j "$jobs"
ctest --test-dir "$build/asan" --output-on-failure -j "$jobs"

echo "== thread-sanitizer build and the reader's tests"
cmake -S . -B "$build/tsan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVELINE_TSAN=ON -DORVELINE_BENCH=OFF >/dev/null
cmake --build "$build/tsan" -j "$jobs" --target dxf_test
ctest --test-dir "$build/tsan" -R '^dxf_test$' --output-on-failure

if [ -f "$root/fuzz/CMakeLists.txt" ]; then
  echo "== fuzz run"
  CXX=clang++ cmake -S . -B "$build/fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVELINE_FUZZ=ON \
      -DORVELINE_TESTS=OFF -DORVELINE_BENCH=OFF >/dev/null
  cmake --build "$build/fuzz" -j "$jobs"
  "$root/fuzz/run.sh" "$build/fuzz" "${FUZZ_SECONDS:-60}"
fi

echo "== Windows build and tests under Wine"
cmake -S . -B "$build/win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DORVELINE_BENCH=OFF >/dev/null
cmake --build "$build/win" -j "$jobs"
. "$root/scripts/xvfb.sh"
# A fresh Wine prefix for every run of the suite.
WINEPREFIX="$build/win/wineprefix" wineserver -k 2>/dev/null || true
rm -rf "$build/win/wineprefix"
status=0
ctest --test-dir "$build/win" --output-on-failure -j 1 || status=$?
WINEPREFIX="$build/win/wineprefix" wineserver -k 2>/dev/null || true
[ "$status" = 0 ] || exit "$status"
echo "== all tests passed"
