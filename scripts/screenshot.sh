#!/usr/bin/env bash
# Writes a PNG of the desktop Tamarin runs on.
#
#   scripts/screenshot.sh [--show WHAT] [--scale PERCENT] [OUT.png]
#
# WHAT is desktop (the default), text (the text popup with a menu tip),
# command (the command popup), settings, hotkeys, about, registered, editpad,
# search (the search window narrowed by a typed word, with the tip of its
# selected entry) or extsettings.
# With `make run` running headless, its desktop is photographed; otherwise a
# Tamarin of its own is started on a headless display with sample texts, and
# ended again afterwards. OUT.png defaults to build/screenshot.png.
# --scale (125, 150, 200, ...) sets Wine's display scaling (LogPixels) for
# the picture, in a prefix of its own (build/wineprefix-aux), which is set
# back to 100 % afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."
show=desktop
scale=100
while [ $# -gt 0 ]; do
  case "$1" in
    --show) show=$2; shift 2 ;;
    --scale) scale=$2; shift 2 ;;
    *) break ;;
  esac
done
out=${1:-build/screenshot.png}
case "$out" in /*) ;; *) out=$(pwd)/$out ;; esac

source scripts/wine-env.sh
post=$(pwd)/build/win64/bin/post_command.exe
desktop_size=1024x768
run_dir=$TAMARIN_BUILD/run
own=

in_desktop() { # runs a Windows program on Tamarin's desktop
  timeout 30 "$WINE" explorer "/desktop=Tamarin,$desktop_size" "$@" </dev/null >/dev/null 2>&1
}

# Display scaling is set in a prefix of its own, one picture at a time.
if [ "$scale" != 100 ]; then
  base=$WINEPREFIX
  export WINEPREFIX=$TAMARIN_BUILD/wineprefix-aux
  if [ ! -f "$WINEPREFIX/.tamarin-ready" ] && [ -f "$base/.tamarin-ready" ]; then
    rm -rf "$WINEPREFIX"
    cp -a "$base" "$WINEPREFIX"
  fi
  exec 9>"$WINEPREFIX.lock"
  flock 9
  desktop_size=1280x1024
fi
set_dpi() { # the scaling every process of a new session starts with
  "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f </dev/null >/dev/null 2>&1
  "$WINESERVER" -k >/dev/null 2>&1 || true
  "$WINESERVER" -w >/dev/null 2>&1 || true
  wine_session_begin
}
end_session() {
  if [ "$scale" != 100 ]; then
    "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f </dev/null >/dev/null 2>&1
  fi
  wine_session_end
}

if [ "$scale" = 100 ] && [ -f "$run_dir/.display" ] && xdpyinfo -display "$(cat "$run_dir/.display")" >/dev/null 2>&1; then
  export DISPLAY=$(cat "$run_dir/.display")
else
  own=1
  bash scripts/bootstrap.sh
  cmake --preset win64 >/dev/null
  cmake --build --preset win64 --target tamarin post_command >/dev/null
  unset DISPLAY
  # The sample folder is thrown away, so the session simply ends: a Quit
  # command would wait behind whatever dialog the picture shows.
  trap end_session EXIT
  wine_session_begin
  if [ "$scale" != 100 ]; then set_dpi $((96 * scale / 100)); fi
  # A folder whose path reads like a user's (the settings dialog shows it).
  dir=$WINEPREFIX/drive_c/Tools/Tamarin
  rm -rf "$dir" && mkdir -p "$dir"
  cp build/win64/bin/tamarin.exe "$dir/"
  python3 scripts/sample-data.py "$dir"
  (cd "$dir" && exec "$WINE" explorer "/desktop=Tamarin,$desktop_size" tamarin.exe </dev/null >/dev/null 2>&1) &
  sleep 2  # the desktop exists before anything else is started on it
  in_desktop "$post" --wait || { echo "Tamarin did not start" >&2; exit 1; }
  sleep 2
fi

case "$show" in
  desktop) ;;
  text) in_desktop "$post" --msg 32770; sleep 1; xdotool key Down Down; sleep 1.5 ;;
  command) in_desktop "$post" --msg 32771; sleep 1 ;;
  settings) in_desktop "$post" 40003; sleep 1.5 ;;
  hotkeys) in_desktop "$post" 40004; sleep 1.5 ;;
  about) in_desktop "$post" 40002; sleep 1.5 ;;
  registered) in_desktop "$post" 40049; sleep 1.5 ;;
  editpad) in_desktop "$post" 40031; sleep 1.5 ;;
  search) in_desktop "$post" 40070; sleep 1.5; xdotool type --delay 120 'TAMARIN'; sleep 0.5; xdotool key Down; sleep 1.5 ;;
  extsettings) in_desktop "$post" 40071; sleep 1.5 ;;
  *) echo "unknown --show $show" >&2; exit 2 ;;
esac

mkdir -p "$(dirname "$out")"
import -window root -crop "$desktop_size+0+0" -display "$DISPLAY" "$out"
echo "$out"
