#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need; only what is missing.
set -euo pipefail
packages=(g++ cmake ninja-build pkg-config libwxgtk3.2-dev libpugixml-dev libgtest-dev libgmock-dev
          libbenchmark-dev xvfb xauth imagemagick fonts-ipafont-gothic clang libclang-rt-14-dev locales)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
# The locale tests format numbers under a German locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  $SUDO sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
