#!/usr/bin/env bash
# Installs the Debian packages tolm needs to build and test. Runs as root on
# Debian 12; does nothing when everything is present already.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  libzip-dev zlib1g-dev libexpat1-dev libpugixml-dev libicu-dev nettle-dev libjpeg-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev fonts-noto-cjk xvfb xauth x11-utils poppler-utils
  python3 python3-openpyxl python3-pil python3-xlsxwriter libxlsxwriter-dev
  libixion-dev libboost-dev libfreexl-dev qt6-translations-l10n libqpdf-dev
  fonts-crosextra-carlito fonts-liberation2
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${missing[*]}" >&2
  echo "Run as root: sudo $0" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
