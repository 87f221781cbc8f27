#!/usr/bin/env bash
# Tamarin seen from the X side: a real X client (xclip) copies UTF-8 Japanese
# text and Tamarin's history file receives it as code page 932. Also lets
# ImageMagick judge the bitmap that the log test left behind.
# The program under test is TAMARIN_E2E_EXE (a Unix path) when it is set,
# else the given build's; the helper programs always come from the build.
set -u
exe=${TAMARIN_E2E_EXE:-$1}
bin=$(dirname "$1")
source "$(dirname "$0")/../../scripts/wine-env.sh"
own_session=
if [ -z "${DISPLAY:-}" ]; then
  wine_session_begin || exit 1
  own_session=1
fi

dir=$(mktemp -d "$bin/../xclip-test.XXXXXX")
xclip_pid=
tamarin_pid=
cleanup() {
  [ -n "$xclip_pid" ] && kill "$xclip_pid" 2>/dev/null
  if [ -n "$tamarin_pid" ] && kill -0 "$tamarin_pid" 2>/dev/null; then
    "$WINE" "$bin/post_command.exe" 40001 >/dev/null 2>&1
    wait_until 30 tamarin_gone
    kill "$tamarin_pid" 2>/dev/null
  fi
  rm -rf "$dir"
  [ -n "$own_session" ] && wine_session_end
}
# wait_until SECONDS COMMAND...: polls the command until it succeeds, or
# fails when the time is up.
wait_until() {
  local limit=$((SECONDS + $1)); shift
  until "$@"; do
    [ "$SECONDS" -ge "$limit" ] && return 1
    sleep 0.1
  done
}
tamarin_gone() { ! kill -0 "$tamarin_pid" 2>/dev/null; }
trap cleanup EXIT
trap "exit 130" INT TERM
fail() { echo "FAIL: $*"; exit 1; }

cp "$exe" "$dir/tamarin.exe"
(cd "$dir" && exec "$WINE" tamarin.exe </dev/null >/dev/null 2>&1) &
tamarin_pid=$!
"$WINE" "$bin/post_command.exe" --wait >/dev/null 2>&1 || fail "Tamarin's window did not appear"

copy() { # copy TEXT with xclip, the way a Linux program would
  [ -n "$xclip_pid" ] && kill "$xclip_pid" 2>/dev/null && wait "$xclip_pid" 2>/dev/null
  printf '%s' "$1" > "$dir/input.txt"
  xclip -quiet -selection clipboard -i "$dir/input.txt" </dev/null >/dev/null 2>&1 &
  xclip_pid=$!
}
history_has() { # history_has CP932-FILE: the .hst ends with that record
  python3 - "$dir/tamarin.hst" "$1" <<'PY'
import sys
try:
    data = open(sys.argv[1], 'rb').read()
except OSError:
    sys.exit(1)
text = open(sys.argv[2], 'rb').read()
# X text arrives with LF line ends or, as Windows programs expect, CR LF;
# the history file then stores each LF as CR LF.
candidates = {text, text.replace(b'\n', b'\r\n')}
sys.exit(0 if any(data.endswith(t.replace(b'\n', b'\r\n') + b'\0') for t in candidates) else 1)
PY
}
expect_recorded() { # expect_recorded UTF8-TEXT
  copy "$1"
  printf '%s' "$1" | iconv -f UTF-8 -t CP932 > "$dir/want.bin"
  wait_until 30 history_has "$dir/want.bin" || fail "history does not end with '$1'"
}

expect_recorded "hello from X"
expect_recorded "こんにちは、表示ソ"
expect_recorded "二行目
あります"
echo "xclip: 3 texts recorded as code page 932"

"$WINE" "$bin/post_command.exe" 40001 >/dev/null 2>&1
wait_until 30 tamarin_gone || fail "Tamarin did not quit on 40001"
tamarin_pid=
[ -f "$dir/tamarin.ini" ] || fail "no INI file after quit"

bmp=$bin/../artifacts/clip3x2.bmp
if [ -f "$bmp" ]; then
  size=$(identify -format '%w x %h' "$bmp") || fail "identify rejects the logged bitmap"
  [ "$size" = "3 x 2" ] || fail "identify reads $size"
  echo "identify: logged bitmap is $size"
fi
