#!/usr/bin/env bash
# Installs the Debian packages that building, testing and benchmarking Zentil need, and only
# those that are missing. Used by `make`, by CI and by hand. Needs root or sudo.
# With the argument `windows`: what the Windows cross-build and its tests under Wine need
# instead (`make windows`, `make test-windows`), which the Linux build never needs.
set -euo pipefail

if [ "${1:-}" = windows ]; then
  packages=(
    cmake ninja-build g++-mingw-w64-x86-64-posix googletest libcli11-dev
    wine wine64 locales
  )
else
  packages=(
    build-essential cmake ninja-build pkg-config clang-format
    libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
    qt6-base-dev qt6-wayland qt6-translations-l10n libgl-dev xvfb xauth fonts-dejavu-core
    locales hyperfine ripgrep gawk time
    clang-14 libclang-rt-14-dev
  )
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

if [ "${#missing[@]}" -gt 0 ]; then
  echo "Instalando: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The tests read the score in a locale whose decimal separator is a comma.
if ! locale -a 2>/dev/null | grep -qi '^es_ES\.utf-\?8$'; then
  echo "Generando la configuración regional es_ES.UTF-8"
  $sudo sed -i 's/^# *\(es_ES.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^es_ES.UTF-8 UTF-8' /etc/locale.gen || echo 'es_ES.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
