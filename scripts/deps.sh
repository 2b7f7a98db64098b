#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the program need,
# when it is missing. Safe to run again: it does nothing when all are there.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev
  libpugixml-dev libcurl4-openssl-dev libjpeg62-turbo-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev unrtf
  fonts-dejavu-core libxml2-utils poppler-utils python3 python3-webcolors coreutils tidy python3-html5lib
  xvfb xauth xdotool xclip iproute2
  clang libclang-rt-14-dev lld
  libxlsxwriter-dev libzip-dev libqt6sql6-sqlite libqt6sql6-odbc odbc-mdbtools
  python3-openpyxl python3-xlwt python3-odf python3-docx sqlite3 libsqliteodbc
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "deps: installing ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
