#!/usr/bin/env bash
# Tamarin's files under faults the Windows side cannot make itself:
#   - a full disk: a small tmpfs is mounted and the FullDisk tests of
#     e2e_tests run with Tamarin's folder on it;
#   - store files that are symbolic links, and a folder squatting on the name
#     of the temporary file: the saves go through to the link's target and
#     past the folder;
#   - kill -9: Tamarin is sent SIGKILL at random moments inside its settings
#     save, 100 times; the INI file must always be the old or the new one,
#     byte for byte.
# Needs root (mount). Usage: file_fault_test.sh tamarin.exe e2e_tests.exe
set -u
exe=$1
tests=$2
bin=$(dirname "$exe")
source "$(dirname "$0")/../../scripts/wine-env.sh"
own_session=
if [ -z "${DISPLAY:-}" ]; then
  wine_session_begin || exit 1
  own_session=1
fi

work=$(realpath "$(mktemp -d "$bin/../file-fault.XXXXXX")")
mnt="$work/disk"
mounted=
tamarin_pid=
cleanup() {
  if [ -n "$tamarin_pid" ] && kill -0 "$tamarin_pid" 2>/dev/null; then
    kill -9 "$tamarin_pid" 2>/dev/null
    wait "$tamarin_pid" 2>/dev/null
  fi
  [ -n "$mounted" ] && umount "$mnt"
  rm -rf "$work"
  [ -n "$own_session" ] && wine_session_end
}
trap cleanup EXIT
trap "exit 130" INT TERM
fail() { echo "FAIL: $*"; exit 1; }

# ---- full disk
mkdir -p "$mnt"
mount -t tmpfs -o size=4m tmpfs "$mnt" || fail "cannot mount a tmpfs (run as root)"
mounted=1
folder=$("$WINE" winepath -w "$mnt" 2>/dev/null | tr -d '\r')
[ -n "$folder" ] || fail "no Windows name for $mnt"
TAMARIN_FULL_DISK_FOLDER="$folder" "$WINE" "$tests" --gtest_filter='FullDisk.*' </dev/null 2>&1 | tail -n 3
[ "${PIPESTATUS[0]}" -eq 0 ] || fail "full-disk tests"
umount "$mnt" && mounted=

# ---- links and leftovers
dir="$work/app"
mkdir -p "$dir" "$work/elsewhere"
cp "$exe" "$dir/tamarin.exe"
# A bare LF in a text is written back as CR LF: a save changes these files.
printf 'kept\ntext\0' > "$work/elsewhere/registered"
ln -s "$work/elsewhere/registered" "$dir/tamarin.use"
printf 'old\nclip\0' > "$dir/tamarin.hst"
mkdir "$dir/tamarin.hst.tmp"
(cd "$dir" && exec "$WINE" tamarin.exe </dev/null >/dev/null 2>&1) &
tamarin_pid=$!
"$WINE" "$bin/post_command.exe" --wait >/dev/null 2>&1 || fail "Tamarin's window did not appear"
"$WINE" "$bin/post_command.exe" 40001 >/dev/null 2>&1 || fail "cannot ask Tamarin to quit"
wait "$tamarin_pid"
tamarin_pid=
[ -L "$dir/tamarin.use" ] || fail "the linked registered-text file is no longer a link"
[ "$(readlink "$dir/tamarin.use")" == "$work/elsewhere/registered" ] || fail "the link points elsewhere"
cmp -s "$work/elsewhere/registered" <(printf 'kept\r\ntext\0') || fail "the save did not reach the link's target"
[ -d "$dir/tamarin.hst.tmp" ] || fail "the folder on the temporary name was touched"
# Whatever the clipboard held at the start may have joined the history; the
# old record, written back with CR LF, shows that the save went through.
LC_ALL=C grep -qazF $'old\r' "$dir/tamarin.hst" ||
  fail "the history was not saved past the folder on its temporary name"
ls -d "$dir"/*.tmp "$work/elsewhere"/*.tmp 2>/dev/null | grep -v 'tamarin.hst.tmp$' && fail "a temporary file was left behind"
rm -rf "$dir/tamarin.hst.tmp" "$dir/tamarin.use" "$dir/tamarin.hst" "$dir/tamarin.ini"

# ---- kill -9 inside the save
ini="$dir/tamarin.ini"
old=$'; kept by hand\r\n[Mine]\r\nmine=1\r\n\r\n[Tamarin]\r\nOther=keep\r\n[Zzz]\r\nlast=1\r\n'

start_tamarin() {
  printf '%s' "$old" > "$ini"
  rm -f "$dir"/tamarin.ini*.tmp
  (cd "$dir" && exec "$WINE" tamarin.exe </dev/null >/dev/null 2>&1) &
  tamarin_pid=$!
  "$WINE" "$bin/post_command.exe" --wait >/dev/null 2>&1 || fail "Tamarin's window did not appear"
}

# The new file, from a quit that runs to its end.
start_tamarin
"$WINE" "$bin/post_command.exe" 40001 >/dev/null 2>&1
wait "$tamarin_pid"
tamarin_pid=
new=$(cat "$ini"; printf x); new=${new%x}
[ "$new" != "$old" ] || fail "the save changed nothing"

aimed=0 old_kept=0 new_taken=0 attempts=0
while [ "$aimed" -lt 100 ]; do
  attempts=$((attempts + 1))
  [ "$attempts" -le 400 ] || fail "only $aimed of $attempts kills landed inside the save"
  start_tamarin
  "$WINE" "$bin/post_command.exe" 40001 >/dev/null 2>&1 &
  poster=$!
  # The save has begun when its temporary file is there; the kill follows
  # after a random spin of up to a few milliseconds.
  seen=
  while kill -0 "$tamarin_pid" 2>/dev/null; do
    if compgen -G "$dir/tamarin.ini*.tmp" >/dev/null; then seen=1; break; fi
  done
  if [ -n "$seen" ]; then
    spin=$((RANDOM % 400))
    for ((i = 0; i < spin; i++)); do :; done
  fi
  kill -9 "$tamarin_pid" 2>/dev/null
  wait "$tamarin_pid" 2>/dev/null
  tamarin_pid=
  wait "$poster" 2>/dev/null
  now=$(cat "$ini" 2>/dev/null; printf x); now=${now%x}
  if [ "$now" == "$old" ]; then
    old_kept=$((old_kept + 1))
  elif [ "$now" == "$new" ]; then
    new_taken=$((new_taken + 1))
  else
    fail "after a kill the INI file is neither the old nor the new one (${#now} bytes)"
  fi
  [ -n "$seen" ] && aimed=$((aimed + 1))
done
echo "kill -9 inside the settings save: $aimed aimed of $attempts; $old_kept old, $new_taken new"
[ "$old_kept" -gt 0 ] && [ "$new_taken" -gt 0 ] || fail "the kills did not bracket the replacement"
echo "PASS"
