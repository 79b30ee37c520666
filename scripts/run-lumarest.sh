#!/usr/bin/env bash
# Installs what is missing, builds and starts Lumarest in a per-user program folder.
set -euo pipefail
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
cd "$progdir"
exec "$dir/apps/Lumarest" "$@"
