#!/usr/bin/env bash
# Tamarin in a folder it cannot write to. The tests run as root, whom file
# permissions do not stop, so the folder is a read-only bind mount of a copy
# of the program; APPDATA points at a writable test folder. The Windows side
# (readonly_test.cpp) starts Tamarin there and checks where its files land.
#   readonly_test.sh E2E_READONLY_TESTS.EXE TAMARIN.EXE
set -u
tests=$1
exe=$2
bin=$(dirname "$tests")
source "$(dirname "$0")/../../scripts/wine-env.sh"
own_session=
if [ -z "${DISPLAY:-}" ]; then
  wine_session_begin || exit 1
  own_session=1
fi

dir=$(mktemp -d "$(cd "$bin/.." && pwd)/readonly-test.XXXXXX")
mounted=
cleanup() {
  [ -n "$mounted" ] && umount "$dir/readonly"
  rm -rf "$dir"
  [ -n "$own_session" ] && wine_session_end
}
trap cleanup EXIT
trap "exit 130" INT TERM
fail() { echo "FAIL: $*"; exit 1; }
windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }

mkdir -p "$dir/program" "$dir/readonly" "$dir/appdata"
cp "$exe" "$dir/program/tamarin.exe"
mount --bind "$dir/program" "$dir/readonly" || fail "cannot bind-mount (the tests need root)"
mounted=1
mount -o remount,ro,bind "$dir/readonly" || fail "cannot make the mount read-only"
touch "$dir/readonly/probe" 2>/dev/null && fail "the read-only mount can be written to"

TAMARIN_READONLY_FOLDER=$(windows_path "$dir/readonly") TAMARIN_APPDATA=$(windows_path "$dir/appdata") \
  "$WINE" "$tests" </dev/null
