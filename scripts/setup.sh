#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
# Safe to run twice.
set -euo pipefail

packages=(g++ cmake ninja-build qt6-base-dev libjpeg-dev libgtest-dev libbenchmark-dev fonts-liberation)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update -qq
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
