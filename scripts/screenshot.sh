#!/usr/bin/env bash
# Writes a PNG of the desktop Tamarin runs on.
#
#   scripts/screenshot.sh [--show WHAT] [OUT.png]
#
# WHAT is desktop (the default), text (the text popup with a menu tip),
# command (the command popup), settings, hotkeys, about, registered or editpad.
# With `make run` running headless, its desktop is photographed; otherwise a
# Tamarin of its own is started on a headless display with sample texts, and
# ended again afterwards. OUT.png defaults to build/screenshot.png.
set -euo pipefail
cd "$(dirname "$0")/.."
show=desktop
if [ "${1:-}" = "--show" ]; then show=$2; shift 2; fi
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

if [ -f "$run_dir/.display" ] && xdpyinfo -display "$(cat "$run_dir/.display")" >/dev/null 2>&1; then
  export DISPLAY=$(cat "$run_dir/.display")
else
  own=1
  bash scripts/bootstrap.sh
  cmake --preset win64 >/dev/null
  cmake --build --preset win64 --target tamarin post_command >/dev/null
  unset DISPLAY
  # The sample folder is thrown away, so the session simply ends: a Quit
  # command would wait behind whatever dialog the picture shows.
  trap wine_session_end EXIT
  wine_session_begin
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
  *) echo "unknown --show $show" >&2; exit 2 ;;
esac

mkdir -p "$(dirname "$out")"
import -window root -crop "$desktop_size+0+0" -display "$DISPLAY" "$out"
echo "$out"
