#!/usr/bin/env bash
# Builds the .deb (`make package`) and checks it as a user's machine would meet it: the
# platform's validators on its files, then a real install with dpkg, the installed programs
# run from /usr/bin, the menu entry and icons where the desktop looks for them, and a removal
# that leaves none of the package's files behind. Needs root (or sudo) for dpkg. Used by CI.
#   scripts/check-package.sh
set -euo pipefail
cd "$(dirname "$0")/.."

make --no-print-directory package

build=build/release
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
app_id=$(sed -n 's/^set(ZENTIL_APP_ID "\(.*\)")$/\1/p' CMakeLists.txt)
deb="$build/zentil_${version}_amd64.deb"

failures=0
fail() {
  echo "FALLO: $*"
  failures=$((failures + 1))
}
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

work=$(mktemp -d)
installed_here=false
cleanup() {
  if $installed_here; then $sudo dpkg -r zentil >/dev/null 2>&1 || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

[ -f "$deb" ] || { echo "FALLO: no está $deb"; exit 1; }
echo "== $deb: $(stat -c %s "$deb") bytes"
dpkg-deb --field "$deb" Package Version Architecture Depends Recommends Installed-Size

# The validators, on the files as the package holds them.
dpkg-deb -x "$deb" "$work/root"
root="$work/root/usr/share"

echo "== desktop-file-validate"
out=$(desktop-file-validate "$root/applications/$app_id.desktop" 2>&1) || fail "desktop-file-validate"
echo "${out:-(nada que decir)}"
# Two main categories are asked for; every other remark is a fault.
if grep -v 'contains more than one main category' <<<"$out" | grep -q .; then
  fail "desktop-file-validate tiene observaciones"
fi

echo "== appstreamcli validate --no-net"
appstreamcli validate --no-net "$root/metainfo/$app_id.metainfo.xml" ||
  fail "appstreamcli validate"

echo "== lintian"
# lintian warns that it runs as root; the tags go to standard output.
lintian --fail-on error,warning --info "$deb" 2>/dev/null || fail "lintian"
echo "(lintian: fin)"

echo "== man --warnings"
for page in "$root"/man/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  echo "$(basename "$page"): ${warnings:-sin avisos}"
  [ -z "$warnings" ] || fail "man --warnings $(basename "$page")"
done

# Installed, as a user installs it.
echo "== dpkg -i"
$sudo dpkg -i "$deb"
installed_here=true
dpkg-query -L zentil >"$work/files"

echo "== los programas instalados"
expect() {  # expect WHAT EXPECTED ACTUAL
  if [ "$2" == "$3" ]; then echo "bien: $1"; else fail "$1: se esperaba «$2», se obtuvo «$3»"; fi
}
expect "zentil-report en /usr/bin" /usr/bin/zentil-report "$(command -v zentil-report)"
expect "zentil-report --version" "zentil-report $version" "$(zentil-report --version)"
# The window program answers --help and --version without a display.
expect "zentil --version" "zentil $version" "$(env -u DISPLAY -u WAYLAND_DISPLAY zentil --version)"
help=$(env -u DISPLAY -u WAYLAND_DISPLAY zentil --help)
expect "zentil --help" "Uso: zentil [OPCIONES]" "$(head -n 1 <<<"$help")"
set +e
env -u DISPLAY -u WAYLAND_DISPLAY zentil --desconocida 2>/dev/null
code=$?
set -e
expect "zentil --desconocida sale con 2" 2 "$code"
expect "man zentil-report" /usr/share/man/man1/zentil-report.1.gz "$(man -w zentil-report)"
expect "man zentil" /usr/share/man/man1/zentil.1.gz "$(man -w zentil)"

# The sample KB, under a locale whose decimal separator is ".".
mkdir "$work/run"
kb="$PWD/examples/sample-kb/"
set +e
messages=$(cd "$work/run" && LC_ALL=C zentil-report "$kb")
code=$?
set -e
echo "$messages"
expect "zentil-report sale con 0" 0 "$code"
expect "mensajes de zentil-report" \
  "$(printf 'Cantidad de archivos procesados: 20\nZentil de la KB: 2.81')" "$messages"
expect "filas de KBReport.csv en la carpeta actual" 21 "$(wc -l <"$work/run/KBReport.csv")"

echo "== el menú y los iconos"
desktop=/usr/share/applications/$app_id.desktop
present() { if [ -f "$1" ]; then echo "bien: $1"; else fail "no está $1"; fi; }
present "$desktop"
expect "Icon= del menú" "Icon=$app_id" "$(grep '^Icon=' "$desktop")"
expect "Exec= del menú" "Exec=zentil" "$(grep '^Exec=' "$desktop")"
for size in 16 24 32 48 64 128 256; do
  png=/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png
  if [ -f "$png" ]; then
    # A PNG's width and height are the 4-byte big-endian numbers at bytes 16 and 20.
    read -r w h < <(od -An -tu1 -j16 -N8 "$png" |
      awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }')
    expect "$png" "$size x $size" "$w x $h"
  else
    fail "no está $png"
  fi
done
svg=/usr/share/icons/hicolor/scalable/apps/$app_id.svg
present "$svg"
present "/usr/share/metainfo/$app_id.metainfo.xml"

echo "== el .ico de Windows"
icotool -l "$build/data/icons/zentil.ico" || fail "el .ico"

echo "== dpkg -r"
$sudo dpkg -r zentil
installed_here=false
left=0
while IFS= read -r path; do
  if [ -e "$path" ] && [ ! -d "$path" ]; then
    fail "quedó $path"
    left=$((left + 1))
  fi
done <"$work/files"
[ ! -e /usr/share/doc/zentil ] || fail "quedó /usr/share/doc/zentil"
expect "archivos del paquete que quedan" 0 "$left"
status=$(dpkg-query -W -f='${Status}' zentil 2>/dev/null || true)
[[ "$status" != *"installed"* ]] || [[ "$status" == *"not-installed"* ]] ||
  fail "dpkg aún ve el paquete: $status"

if [ "$failures" -ne 0 ]; then
  echo "check-package: $failures fallos"
  exit 1
fi
echo "check-package: el paquete pasa los validadores, se instala, funciona y se quita sin dejar nada"
