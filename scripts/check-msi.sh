#!/usr/bin/env bash
# Checks the Windows installer, build/windows/zentil-<version>-windows-x64.msi (make windows),
# in the project's Wine prefix, the way a user meets it: a quiet per-user install; the files,
# the Start-menu shortcut (when the package has the window) and the "Apps & features" entry;
# the installed zentil-report.exe over examples/sample-kb/, whose report must be the golden one
# byte for byte; an upgrade in place by a package of the next version; the window started from
# its shortcut, whose report after a cancelled folder choice must land in Documents; and a quiet
# removal that leaves nothing behind. Every step has a time limit. Run by `make test-windows`.
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
trap '"$root/scripts/wine-prefix.sh" --stop "$WINEPREFIX"; rm -rf "$tmp"' EXIT
timeout 300 "$root/scripts/wine-prefix.sh" "$WINEPREFIX"
# The session's windows are drawn on the prefix's own X server.
DISPLAY=$(cat "$WINEPREFIX/.x-display")
export DISPLAY
# No Windows program may hang the check.
wine_program=$(command -v wine)
wine() { timeout -k 10 180 "$wine_program" "$@"; }

# A Linux path as a Windows program sees it: Wine's drive Z: is the Linux root.
winpath() { printf 'Z:%s' "${1//\//\\}"; }
# The value of a Windows environment variable, and the Linux path of a Windows path.
winvar() { wine cmd /c "echo %$1%" </dev/null | tr -d '\r'; }
unixpath() { timeout 60 winepath -u "$1" 2>/dev/null | sed 's:/*$::'; }

local_appdata=$(winvar LOCALAPPDATA)
user_programs=$(unixpath "$local_appdata")/Programs
install_dir=$user_programs/Zentil
shortcut="$(unixpath "$(winvar APPDATA)")/Microsoft/Windows/Start Menu/Programs/Zentil.lnk"
# The user's Documents ("My Documents"), as Windows and as Linux name it.
documents_win=$(wine reg query \
  'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' /v Personal \
  </dev/null | tr -d '\r' | sed -n 's/^ *Personal  *REG_SZ  *//p') || true
documents=$(unixpath "$documents_win")

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

# The first visible window whose name matches $1 and that is none of the windows $2..., within
# 30 s; and whether window $1 goes within 30 s.
await_window() {
  local name=$1 id _
  shift
  for _ in $(seq 150); do
    for id in $(xdotool search --onlyvisible --name "$name" 2>/dev/null); do
      [[ " $* " == *" $id "* ]] || { echo "$id" && return 0; }
    done
    sleep 0.2
  done
  return 1
}
await_gone() {
  local _
  for _ in $(seq 150); do
    xdotool search --onlyvisible --name . 2>/dev/null | grep -qx "$1" || return 0
    sleep 0.2
  done
  return 1
}
# Whether Linux process $1 ends within 30 s (a zombie has ended).
await_end() {
  local _ state
  for _ in $(seq 150); do
    state=$(ps -o stat= -p "$1" || true)
    [[ -z "$state" || "$state" == Z* ]] && return 0
    sleep 0.2
  done
  return 1
}
# Keys pressed, with the input focus in window $1.
keys() {
  local window=$1
  shift
  timeout 30 xdotool windowfocus --sync "$window" && sleep 0.5 &&
    timeout 60 xdotool key --delay 150 "$@"
}

# The window as the Start menu starts it: Wine's `start` hands the shortcut to ShellExecuteEx,
# which opens it as Explorer does, in its working folder. There the report "..." button, its
# folder dialog cancelled, puts KBReport.csv in the current folder: Documents, not the install
# folder, which the removal must be able to take away whole.
check_shortcut_folder() {
  local main pid dialog box n report=$documents/KBReport.csv
  # Never the Linux home folder, which a plain Wine prefix links it to.
  [[ -n "$documents" && "$(realpath "$documents")/" == "$(realpath "$WINEPREFIX")/"* ]] ||
    fail "la carpeta Documentos ($documents_win) no está dentro del prefijo de Wine"
  rm -f "$report"
  # Started from elsewhere, so that a shortcut without a working folder is seen. `start` does not
  # wait for a shortcut's program: the window's process is found by its X window.
  (cd "$tmp" && wine start /unix "$shortcut" </dev/null >/dev/null 2>&1) ||
    fail "wine start no pudo abrir el acceso directo"
  main=$(await_window '^Zentil Counter$') || fail "el acceso directo no abrió la ventana"
  pid=$(timeout 30 xdotool getwindowpid "$main") || fail "la ventana no dice su proceso"
  # The focus starts in txtPath; five Tabs reach the report "..." button.
  timeout 30 xdotool windowfocus --sync "$main" && sleep 1 &&
    timeout 60 xdotool type --delay 20 "$(winpath "$root/examples/sample-kb")\\" &&
    keys "$main" Tab Tab Tab Tab Tab space || fail "no se pudo escribir en la ventana"
  # The folder dialog's caption is the system's, in its language: any other window will do.
  dialog=$(await_window . "$main") || fail "el botón \"...\" del informe no abrió el diálogo"
  keys "$dialog" Escape && await_gone "$dialog" || fail "el diálogo de carpetas no se canceló"
  # The focus is back on the "..." button; three Tabs reach "Generar".
  keys "$main" Tab Tab Tab space || fail "no se pudo pulsar Generar"
  for n in 1 2; do
    box=$(await_window '^Zentil$' "$main") || fail "falta el mensaje $n del final del informe"
    keys "$box" Return && await_gone "$box" || fail "el mensaje del informe no se cerró"
  done
  # Closed, and its program ended, before anything is removed.
  keys "$main" alt+F4 && await_end "$pid" || fail "la ventana no se cerró"
  [ ! -e "$install_dir/KBReport.csv" ] || fail "el informe quedó en la carpeta de instalación"
  [ -f "$report" ] || fail "el informe no está en Documentos ($documents)"
  cmp "$report" "$golden" || fail "el informe de la ventana difiere de $golden"
  rm -f "$report"
}

# A package left installed by an earlier run that failed half way goes first.
for key in $(arp_entries | cut -d'|' -f1); do
  step "quitando una instalación anterior: ${key##*\\}"
  msiexec /x "${key##*\\}" /qn
done
# So are files that such a run left in the install folder, where no removal takes them.
if [ -e "$install_dir" ]; then
  step "quitando los restos de una ejecución anterior en $install_dir"
  rm -rf "$install_dir"
  rmdir "$user_programs" 2>/dev/null || true
fi
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

if [ -n "$window" ]; then
  step "abriendo la ventana desde su acceso directo y cancelando la carpeta del informe"
  check_shortcut_folder
  step "  el informe quedó en $documents_win\\KBReport.csv, no en la carpeta de instalación"
fi

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
