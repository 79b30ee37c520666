#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
# Safe to run twice.
set -euo pipefail

# libuemf-dev writes and reads EMF and WMF; libwmf-bin renders WMF independently in tests;
# poppler-utils turns printed PDF pages into pictures in tests; clang and its runtime build the
# fuzz targets; locales gives tests a decimal-comma locale.
# gsfonts gives libwmf's renderer its fonts; emf2svg and librsvg2-bin render EMF files
# independently in tests (EMF -> SVG -> PNG).
packages=(g++ cmake ninja-build qt6-base-dev libjpeg-dev libgtest-dev libbenchmark-dev fonts-liberation
          libuemf-dev libwmf-bin poppler-utils clang libclang-rt-dev locales
          gsfonts emf2svg librsvg2-bin)

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

# A decimal-comma locale, so the tests that check numbers whatever the user's locale run here too.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  if [ -f /etc/locale.gen ]; then
    $SUDO sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen > /dev/null
    $SUDO locale-gen > /dev/null
  else
    $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8
  fi
fi
