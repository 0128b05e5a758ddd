#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian machine, once.
# (chromium and poppler-utils: the guide's test lays the page out and reads
# its text back.)
# Safe to run again: it only installs what is missing.
set -euo pipefail

have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
need=()
for pkg in cmake g++ clang libclang-rt-14-dev make googletest python3 python3-markdown zip libdxflib-dev \
           g++-mingw-w64-x86-64 mingw-w64-tools xvfb xauth locales \
           fonts-ipafont-gothic imagemagick x11-utils chromium poppler-utils; do
  have "$pkg" || need+=("$pkg")
done
# Wine with what it recommends: the X extensions and fonts it draws with, so
# that windows look and measure the same on every machine. wine-run sets up
# each prefix's fonts from fonts-wine (Marlett, for the caption buttons) and
# fonts-ipafont-gothic (IPA P Gothic in place of "ＭＳ Ｐゴシック").
need_wine=()
for pkg in wine wine64 fonts-wine; do
  have "$pkg" || need_wine+=("$pkg")
done

sudo_=""
if [ "$(id -u)" != 0 ]; then sudo_="sudo"; fi

if [ ${#need[@]} -gt 0 ] || [ ${#need_wine[@]} -gt 0 ]; then
  echo "setup: installing ${need[*]} ${need_wine[*]}"
  $sudo_ apt-get update -q
  if [ ${#need[@]} -gt 0 ]; then
    DEBIAN_FRONTEND=noninteractive $sudo_ apt-get install -y -q --no-install-recommends "${need[@]}"
  fi
  if [ ${#need_wine[@]} -gt 0 ]; then
    DEBIAN_FRONTEND=noninteractive $sudo_ apt-get install -y -q "${need_wine[@]}"
  fi
fi

# The Windows programs run under a Japanese locale (ANSI code page 932).
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "setup: generating the ja_JP.UTF-8 locale"
  if [ -f /etc/locale.gen ]; then
    $sudo_ sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo_ tee -a /etc/locale.gen >/dev/null
    $sudo_ locale-gen >/dev/null
  else
    $sudo_ localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
  fi
fi
