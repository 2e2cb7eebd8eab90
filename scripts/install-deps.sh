#!/usr/bin/env bash
# Installs the Debian packages that a piece of Zentil's work needs, and only those that are
# missing. Used by `make`, by CI and by hand. Needs root or sudo.
#   scripts/install-deps.sh [SET...]      (no SET: build)
# Each make target asks for its own sets: `make run` build; `make test` build and test;
# `make package` build and package; `make bench`, `make format`, `make screenshot`,
# fuzz/run.sh, bench/responsiveness-qt.sh, and `make windows` and `make test-windows` their
# own. A new set is one more line in the table below.
set -euo pipefail

declare -A sets=(
  # Compile and run: the compiler and CMake, CLI11 and nlohmann-json, Qt 6 with its Wayland
  # platform, Spanish dialogs and the window's font, and rsvg-convert for the icon's sizes.
  [build]="build-essential cmake ninja-build pkg-config libcli11-dev nlohmann-json3-dev
           qt6-base-dev qt6-wayland qt6-translations-l10n libgl-dev fonts-dejavu-core
           librsvg2-bin"
  # The test suite: GoogleTest, the es_ES.UTF-8 locale (generated below), libxml2, whose strict
  # parser reads the summary's page back; for the window read through AT-SPI as a screen reader
  # reads it (tests/ui/accessibility_check.py), Xvfb, a D-Bus session, the accessibility bus and
  # Python's AT-SPI client.
  [test]="libgtest-dev libgmock-dev locales libxml2-dev xvfb xauth dbus-daemon dbus-x11
          at-spi2-core python3-gi gir1.2-atspi-2.0"
  # The benchmark kit (bench/run.sh).
  [bench]="libbenchmark-dev ripgrep gawk time"
  # The libFuzzer targets (fuzz/run.sh).
  [fuzz]="clang-14 libclang-rt-14-dev"
  [format]="clang-format"
  # The window's picture on a real X server.
  [screenshot]="xvfb xauth"
  # The Windows window's picture: xwd grabs it from Xvfb, netpbm makes it a PNG.
  [screenshot-windows]="x11-apps netpbm"
  # The summary's page drawn by a real browser for the README (scripts/sample-page.sh):
  # chromium, and netpbm to cut the empty page away.
  [page]="chromium fonts-dejavu-core netpbm"
  # The window's responsiveness during a long run (bench/responsiveness-qt.sh): Xvfb, xdotool,
  # xwd for its pictures and the headers of the X protocol's library for its ping.
  [responsiveness]="xvfb xauth xdotool x11-apps libxcb1-dev"
  # The .deb and the checks it must pass: scdoc for the manual pages, icotool for the .ico,
  # CPack's dpkg-shlibdeps, and the validators (scripts/check-package.sh).
  [package]="scdoc icoutils dpkg-dev lintian appstream desktop-file-utils man-db"
  # The Windows programs, cross-built, and their tests under Wine: MinGW-w64 with posix
  # threads, GoogleTest's sources, CLI11's and nlohmann-json's headers, the icon's tools, Wine,
  # and the es_ES.UTF-8 locale; wixl for the MSI; the window's tests draw it on Xvfb (with
  # Wine's own fonts, Tahoma for the dialog font and Marlett for the caption's buttons) and drive
  # it with xdotool.
  [windows]="cmake ninja-build g++-mingw-w64-x86-64-posix googletest libcli11-dev
             nlohmann-json3-dev librsvg2-bin icoutils wixl wine wine64 fonts-wine locales
             xvfb xauth xdotool"
)

wanted=("$@")
if [ "${#wanted[@]}" -eq 0 ]; then wanted=(build); fi

packages=()
for set in "${wanted[@]}"; do
  if [ -z "${sets[$set]+x}" ]; then
    echo "install-deps.sh: conjunto desconocido: $set (hay: $(printf '%s ' "${!sets[@]}" | xargs -n1 | sort | xargs))" >&2
    exit 2
  fi
  # shellcheck disable=SC2206  # one package name per word
  packages+=(${sets[$set]})
done

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
if [[ " ${wanted[*]} " == *" test "* || " ${wanted[*]} " == *" windows "* ]] &&
  ! locale -a 2>/dev/null | grep -qi '^es_ES\.utf-\?8$'; then
  echo "Generando la configuración regional es_ES.UTF-8"
  $sudo sed -i 's/^# *\(es_ES.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^es_ES.UTF-8 UTF-8' /etc/locale.gen || echo 'es_ES.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
