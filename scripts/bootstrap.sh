#!/usr/bin/env bash
# Installs what building and testing Tamarin needs on a Debian machine (as root).
# Quick when everything is already there.
set -euo pipefail

need_pkgs=()
want() { # want PACKAGE TEST-COMMAND...
  local pkg=$1; shift
  if ! "$@" >/dev/null 2>&1; then need_pkgs+=("$pkg"); fi
}
has() { command -v "$1"; }
file() { test -e "$1"; }

want cmake has cmake
want make has make
want g++ has g++
want clang has clang++
want libclang-rt-14-dev file /usr/lib/llvm-14/lib/clang/14.0.6/lib/linux/libclang_rt.fuzzer-x86_64.a
want googletest file /usr/src/googletest/CMakeLists.txt
want libgtest-dev file /usr/lib/x86_64-linux-gnu/libgtest.a
want libbenchmark-dev file /usr/include/benchmark/benchmark.h
want g++-mingw-w64-x86-64-posix has x86_64-w64-mingw32-g++-posix
want g++-mingw-w64-i686-posix has i686-w64-mingw32-g++-posix
want binutils-mingw-w64-x86-64 has x86_64-w64-mingw32-windres
want binutils-mingw-w64-i686 has i686-w64-mingw32-windres
want wine64 file /usr/lib/wine/wine64
want wine file /usr/lib/wine/wineserver
want xvfb has Xvfb
want xauth has xauth
want xclip has xclip
want xdotool has xdotool
want x11-utils has xwininfo
want locales has locale-gen
want fonts-wine file /usr/share/wine/fonts/marlett.ttf
want fonts-ipafont-gothic file /usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf
want imagemagick has identify
want procps has pkill

if [ ${#need_pkgs[@]} -gt 0 ]; then
  echo "bootstrap: installing ${need_pkgs[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${need_pkgs[@]}" >/dev/null
fi

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "bootstrap: generating the ja_JP.UTF-8 locale"
  sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
