#!/usr/bin/env bash
# Checks the Windows installer, build/windows/zentil-<version>-windows-x64.msi (make windows),
# in the project's Wine prefix, the way a user meets it: a quiet per-user install; the files,
# the Start-menu shortcut (when the package has the window) and the "Apps & features" entry;
# the installed zentil-report.exe over examples/sample-kb/, whose report must be the golden one
# byte for byte; an upgrade in place by a package of the next version; and a quiet removal
# that leaves nothing behind. Run by `make test-windows`.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/windows
stage=$build/msi
wxs=$root/packaging/windows/zentil.wxs
golden=$root/tests/golden/sample-kb.csv

fail() {
  echo "check-msi: FALLO: $*" >&2
  exit 1
}
step() { echo "check-msi: $*"; }

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt" 2>/dev/null || true)
msi=$build/zentil-$version-windows-x64.msi
if [ -z "$version" ] || [ ! -f "$msi" ]; then
  fail "no hay paquete MSI en $build: lo construye make windows"
fi
IFS=. read -r major minor patch <<<"$version"
next=$major.$minor.$((patch + 1))
window=""
if [ -f "$stage/zentil.exe" ]; then window=yes; fi

export WINEPREFIX=$build/wine WINEDEBUG=-all LC_ALL=C.UTF-8
# Wine would also copy the shortcut into the Linux desktop's menu.
export WINEDLLOVERRIDES=winemenubuilder.exe=d
tmp=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$tmp"' EXIT
"$root/scripts/wine-prefix.sh"

# A Linux path as a Windows program sees it: Wine's drive Z: is the Linux root.
winpath() { printf 'Z:%s' "${1//\//\\}"; }
# The value of a Windows environment variable, and the Linux path of a Windows path.
winvar() { wine cmd /c "echo %$1%" </dev/null | tr -d '\r'; }
unixpath() { winepath -u "$1" 2>/dev/null | sed 's:/*$::'; }

local_appdata=$(winvar LOCALAPPDATA)
user_programs=$(unixpath "$local_appdata")/Programs
install_dir=$user_programs/Zentil
shortcut="$(unixpath "$(winvar APPDATA)")/Microsoft/Windows/Start Menu/Programs/Zentil.lnk"

# "KEY|DisplayVersion|Publisher" for each "Apps & features" entry named Zentil. Windows keeps a
# per-user install's entry under HKCU; Wine keeps every MSI's entry under HKLM.
arp_entries() {
  local hive
  for hive in HKCU HKLM; do
    wine reg query "$hive\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall" /s \
      </dev/null 2>/dev/null || true
  done | tr -d '\r' | awk -F '    ' '
    function flush() { if (name == "Zentil") print key "|" version "|" publisher; name = "" }
    /^HKEY_/ { flush(); key = $0; version = ""; publisher = ""; next }
    $2 == "DisplayName" { name = $4 }
    $2 == "DisplayVersion" { version = $4 }
    $2 == "Publisher" { publisher = $4 }
    END { flush() }'
}
# Whether the installer registered Zentil for this user only (HKCU) or for all users (HKLM).
registered_in() {
  wine reg query "$1" /s </dev/null 2>/dev/null | tr -d '\r' |
    grep -q '^ *ProductName  *REG_SZ  *Zentil$'
}
reg_key_exists() { wine reg query "$1" </dev/null >/dev/null 2>&1; }
msiexec() {
  local code=0
  wine msiexec "$@" </dev/null || code=$?
  [ "$code" -eq 0 ] || fail "msiexec $* terminó con el código $code"
}

# The package installed: its files, shortcut, entry and registration, and a run of the report.
check_installed() {
  local v=$1 f entries
  for f in zentil-report.exe README.md LICENSE.txt ${window:+zentil.exe}; do
    [ -f "$install_dir/$f" ] || fail "falta $install_dir/$f"
  done
  cmp -s "$install_dir/zentil-report.exe" "$stage/zentil-report.exe" ||
    fail "el zentil-report.exe instalado no es el de la compilación"
  if [ -n "$window" ]; then
    [ -f "$shortcut" ] || fail "falta el acceso directo del menú Inicio: $shortcut"
    grep -qa 'zentil\.exe' "$shortcut" || fail "el acceso directo no apunta a zentil.exe"
  else
    if [ -e "$install_dir/zentil.exe" ] || [ -e "$shortcut" ]; then
      fail "la compilación no tiene la ventana, pero el paquete instaló zentil.exe o su acceso directo"
    fi
  fi
  entries=$(arp_entries)
  [ "$(printf '%s\n' "$entries" | grep -c .)" -eq 1 ] ||
    fail "se esperaba una entrada de Zentil en Aplicaciones, hay: ${entries:-ninguna}"
  [ "$(cut -d'|' -f2 <<<"$entries")" = "$v" ] || fail "la entrada de Aplicaciones no es la versión $v: $entries"
  [ "$(cut -d'|' -f3 <<<"$entries")" = "The Zentil developers" ] ||
    fail "la entrada de Aplicaciones no tiene el editor: $entries"
  registered_in 'HKCU\Software\Microsoft\Installer\Products' ||
    fail "Zentil no quedó registrado para el usuario (HKCU)"
  ! registered_in 'HKLM\Software\Classes\Installer\Products' ||
    fail "Zentil quedó registrado para todos los usuarios (HKLM): el paquete no es por usuario"

  local report=$tmp/KBReport-$v.csv out code=0
  out=$(wine "$local_appdata\\Programs\\Zentil\\zentil-report.exe" \
    "$(winpath "$root/examples/sample-kb")\\" "$(winpath "$report")" </dev/null) || code=$?
  [ "$code" -eq 0 ] || fail "zentil-report.exe instalado terminó con el código $code: $out"
  cmp "$report" "$golden" || fail "el informe del programa instalado difiere de $golden"
  step "  $(tr -d '\r' <<<"$out" | paste -sd ' ')"
}

# A package left installed by an earlier run that failed half way goes first.
for key in $(arp_entries | cut -d'|' -f1); do
  step "quitando una instalación anterior: ${key##*\\}"
  msiexec /x "${key##*\\}" /qn
done
programs_existed=""
if [ -d "$user_programs" ]; then programs_existed=yes; fi

step "instalando $(basename "$msi") (/qn, por usuario)"
msiexec /i "$(winpath "$msi")" /qn
check_installed "$version"
step "instalado en $local_appdata\\Programs\\Zentil${window:+, con acceso directo en el menú Inicio}; entrada de Aplicaciones $version"

step "actualizando a $next con un paquete del mismo UpgradeCode"
(cd "$stage" && wixl --arch x64 -D Version="$next" ${window:+-D Window=yes} \
  -o "$tmp/zentil-$next-windows-x64.msi" "$wxs") || fail "wixl no pudo construir el paquete $next"
msiexec /i "$(winpath "$tmp/zentil-$next-windows-x64.msi")" /qn
check_installed "$next"
step "actualizado en su sitio: una sola entrada de Aplicaciones, versión $next"

step "desinstalando (/x, /qn)"
msiexec /x "$(winpath "$tmp/zentil-$next-windows-x64.msi")" /qn
[ ! -e "$install_dir" ] || fail "la desinstalación dejó $install_dir"
[ -n "$programs_existed" ] || [ ! -e "$user_programs" ] || fail "la desinstalación dejó $user_programs"
[ ! -e "$shortcut" ] || fail "la desinstalación dejó el acceso directo $shortcut"
[ -z "$(arp_entries)" ] || fail "la desinstalación dejó la entrada de Aplicaciones: $(arp_entries)"
! reg_key_exists 'HKCU\Software\Zentil' || fail 'la desinstalación dejó HKCU\Software\Zentil'
! registered_in 'HKCU\Software\Microsoft\Installer\Products' ||
  fail "la desinstalación dejó Zentil registrado en Windows Installer"
step "desinstalado: no quedan archivos, acceso directo, entrada de Aplicaciones ni claves"
step "correcto"
