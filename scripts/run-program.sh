#!/usr/bin/env bash
# Installs what is missing, builds and starts one of the programs (Lumarest or
# Tamberic) in the per-user program folder both share.
#   scripts/run-program.sh <Lumarest|Tamberic> [arguments]
set -euo pipefail
program="$1"
shift
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
dir="$(bash "$root/scripts/build.sh" | tail -n 1)"
progdir="${PELLUCOR_HOME:-$HOME/Lumarest}"
mkdir -p "$progdir"
# The program takes its working folder as the program folder on the first run.
for sub in data par "data/simulation data" "data/export data" "par/simulation par" \
           pics doc report bmp batch hist temp kinetics covars; do
  mkdir -p "$progdir/$sub"
done
cp -rn "$root/apps/files/." "$progdir/" 2>/dev/null || true
# Circuit pictures of the model library, written by the build (tools/circuitpics).
cp -rn "$dir/programfiles/bmp/." "$progdir/bmp/" 2>/dev/null || true
# Lumarest starts Tamberic from the program folder.
ln -sf "$dir/apps/Tamberic" "$progdir/Tamberic"
cd "$progdir"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found: starting $program without a screen (offscreen)."
  export QT_QPA_PLATFORM=offscreen
fi
exec "$dir/apps/$program" "$@"
