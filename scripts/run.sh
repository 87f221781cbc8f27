#!/usr/bin/env bash
# Builds Tamarin and runs it under Wine in the foreground until Ctrl+C, which
# quits it through its own Quit command so that its files are saved.
#
# Its files (tamarin.ini, tamarin.hst, tamarin.use, log/) live in build/run/.
# With an X display ($DISPLAY) the icon sits in that desktop's notification
# area; without one, Tamarin runs on a headless display inside a Wine desktop
# window with a taskbar, which `make screenshot` photographs.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/bootstrap.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target tamarin post_command >/dev/null

source scripts/wine-env.sh
run_dir=$TAMARIN_BUILD/run
mkdir -p "$run_dir"
cp build/win64/bin/tamarin.exe "$run_dir/tamarin.exe"
headless=
[ -z "${DISPLAY:-}" ] && headless=1

tamarin_pid=
stop() {
  trap - INT TERM EXIT
  if [ -n "$tamarin_pid" ] && kill -0 "$tamarin_pid" 2>/dev/null; then
    echo "Quitting Tamarin..."
    post 40001 || true
    for _ in $(seq 1 100); do kill -0 "$tamarin_pid" 2>/dev/null || break; sleep 0.1; done
    kill "$tamarin_pid" 2>/dev/null || true
  fi
  rm -f "$run_dir/.display"
  wine_session_end
}
trap stop INT TERM EXIT
wine_session_begin
echo "$DISPLAY" > "$run_dir/.display"

# In a Wine desktop, commands reach Tamarin only from programs on that desktop.
post() {
  if [ -n "$headless" ]; then
    "$WINE" explorer "/desktop=Tamarin,1024x768" "$root/build/win64/bin/post_command.exe" "$@" </dev/null >/dev/null 2>&1
  else
    "$WINE" "$root/build/win64/bin/post_command.exe" "$@" </dev/null >/dev/null 2>&1
  fi
}

cd "$run_dir"
if [ -n "$headless" ]; then
  # A Wine desktop window with a taskbar, so the tray icon has a home.
  setsid "$WINE" explorer "/desktop=Tamarin,1024x768" tamarin.exe </dev/null >/dev/null 2>&1 &
else
  setsid "$WINE" tamarin.exe </dev/null >/dev/null 2>&1 &
fi
tamarin_pid=$!
echo "Tamarin runs on display $DISPLAY; its files are in $run_dir. Ctrl+C quits."
wait "$tamarin_pid" || true
tamarin_pid=
