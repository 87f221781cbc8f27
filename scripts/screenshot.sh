#!/usr/bin/env bash
# Writes a PNG of the desktop Tamarin runs on.
#
#   scripts/screenshot.sh [--dpi N] [--show WHAT] [OUT.png]
#
# WHAT is desktop (the default), text (the text popup with a menu tip),
# command (the command popup), settings, hotkeys, about, registered, editpad,
# search (the search window narrowed by a typed word, with the tip of its
# selected entry) or extsettings.
# With `make run` running headless, its desktop is photographed; otherwise a
# Tamarin of its own is started on a headless display with sample texts, and
# ended again afterwards. OUT.png defaults to build/screenshot.png.
# --dpi N (with a Tamarin of its own only) runs it at N dots per inch, 144
# for 150 % and 192 for 200 %, through Wine's own setting in the prefix,
# which is put back to 96 at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
show=desktop
dpi=
if [ "${1:-}" = "--dpi" ]; then dpi=$2; shift 2; fi
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

set_dpi() { # set_dpi N: Wine's screen resolution for the programs started after it
  "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f </dev/null >/dev/null 2>&1
}

if [ -z "$dpi" ] && [ -f "$run_dir/.display" ] && xdpyinfo -display "$(cat "$run_dir/.display")" >/dev/null 2>&1; then
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
  if [ -n "$dpi" ]; then
    trap 'set_dpi 96; wine_session_end' EXIT
    set_dpi "$dpi"
  fi
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
