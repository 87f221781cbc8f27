#!/usr/bin/env bash
# Builds the release archives build/dist/tamarin-<version>-x86_64.zip and
# tamarin-<version>-i686.zip: each holds the stripped tamarin.exe, README.txt
# and LICENSE.txt. With --check, the unpacked programs then run the
# end-to-end suite under Wine (the 32-bit one only where Wine can run 32-bit
# programs).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

check=
[ "${1:-}" = "--check" ] && check=1

bash scripts/bootstrap.sh

for preset in win64 win32; do
  printf '\n== %s release archive\n' "$preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target dist
done
ls -l build/dist/*.zip

[ -n "$check" ] || exit 0

# The suite's programs come from the 64-bit build; the program under test is
# the one from the archive.
cmake --build --preset win64 --target e2e_tests post_command
source scripts/wine-env.sh
trap wine_session_end EXIT
trap "exit 130" INT TERM
wine_session_begin
for zip in build/dist/tamarin-*.zip; do
  name=$(basename "$zip" .zip)
  case "$name" in
    *-i686)
      if [ ! -x /usr/lib/wine/wine ]; then
        printf '\n== %s: skipped, this Wine runs no 32-bit programs\n' "$name"
        continue
      fi ;;
  esac
  dir=$root/build/dist/check/$name
  rm -rf "$dir" && mkdir -p "$dir"
  (cd "$dir" && cmake -E tar xf "$root/$zip")
  printf '\n== %s: end-to-end suite\n' "$name"
  TAMARIN_E2E_EXE=$dir/tamarin.exe ctest --preset win64 -R '^e2e' --timeout 900
done
