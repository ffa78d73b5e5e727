# Shared by the installer_*.sh tests: the test's own Wine prefix (a fresh copy
# of the set-up prefix, which no program has run in, with its own wineserver:
# scripts/lib/isolated.sh); the package built by the normal build, and packages
# of other versions built from the same files; installing, upgrading and
# uninstalling with msiexec as an administrator does it silently.
set -uo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/base.sh"

i_init() {
  : "${WIN_BIN:?}" "${SRC:?}"
  VERSION=$(sed -n 's/^project(Lumivent VERSION \([0-9.]*\).*/\1/p' "$SRC/CMakeLists.txt")
  MSI="$WIN_BIN/LumiventSetup-$VERSION.msi"
  WDRV="$WIN_BIN/tests/wine/driver/wdrv.exe"
  for f in "$MSI" "$WDRV" "$WIN_BIN/installer/payload/Tavora.exe"; do [ -e "$f" ] || fail "missing $f"; done
  IWORK="$WIN_BIN/installer-tests/$(basename "$0" .sh)"
  rm -rf "$IWORK"
  mkdir -p "$IWORK"
  cp "$WDRV" "$IWORK/wdrv.exe"
  WDRV="$IWORK/wdrv.exe"
  : "${LV_ISOLATED:?the installer tests run in a prefix of their own (scripts/lib/isolated.sh)}"
  # Nothing of the suite may be there before the first install.
  [ -e "$WINEPREFIX/drive_c/Program Files/Lumivent" ] && fail "the prefix is not fresh: Lumivent is installed"
  trap i_cleanup EXIT
  PF="$WINEPREFIX/drive_c/Program Files/Lumivent"
  PFWIN='C:\Program Files\Lumivent'
  PLANNER_KEY='HKCU\Software\Lumivent\TavoraPlanner'
  NKEY='HKLM\Software\nexa\config'
  RUN_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
  UNINSTALL_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
}

i_cleanup() {
  wineserver -k >/dev/null 2>&1 </dev/null
  wait 2>/dev/null
}

reg_value() {  # KEY NAME: the data as `reg query` prints it
  wine reg query "$1" /v "$2" 2>/dev/null </dev/null | iconv -f CP932 -t UTF-8 |
    awk -v name="$2" '$1 == name { $1 = ""; $2 = ""; sub(/^ +/, ""); print }' | tr -d '\r'
}

# msi FILE_OR_CODE ARGS...: msiexec, silently, with a verbose log in $IWORK; its exit code.
msi() {
  local log="$IWORK/msiexec-$((++MSI_RUNS)).log"
  wine msiexec "$@" /qn /l*v "$(winpath "$log")" >/dev/null 2>&1 </dev/null
  local rc=$?
  LAST_LOG=$log
  return $rc
}
MSI_RUNS=0

# The uninstall entries of the suite: one "KEY<TAB>DisplayVersion" line each.
entries() {
  wine reg query "$UNINSTALL_KEY" /s 2>/dev/null </dev/null | iconv -f CP932 -t UTF-8 | tr -d '\r' |
    awk '/^HKEY/ { key = $0 } $1 == "DisplayName" && $3 == "Lumivent" { lum[key] = 1 }
         $1 == "DisplayVersion" { ver[key] = $3 } END { for (k in lum) print k "\t" ver[k] }'
}
product_code() { entries | head -1 | sed 's/.*\\\({[^}]*}\).*/\1/'; }

# build_package VERSION OUT: the package of the build's files under another version.
build_package() {
  local version=$1 out=$2
  (cd "$WIN_BIN/installer/payload" &&
    wixl -a x64 -o "$out" -D Version="$version" -D Publisher=Lumivent -D TavoraExe=Tavora.exe \
      -D QuillonExe=Quillon.exe -D NexaExe=nexa.exe -D OvdDll=OVD.DLL -D CloserDll=lvclose.dll \
      "$SRC/installer/lumivent.wxs" >/dev/null 2>&1) || fail "wixl $version"
  cmake -DMSI="$out" -DMSIBUILD="$(command -v msibuild)" -DWORK="$IWORK" \
    -P "$SRC/installer/japanese_texts.cmake" >/dev/null || fail "japanese texts $version"
}

# The Start menu folder, for all users or (as Wine places it) for the user.
menu_folder() {
  local d
  for d in "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Lumivent" \
           "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/"Start Menu"/Programs/Lumivent; do
    [ -d "$d" ] && { echo "$d"; return 0; }
  done
  return 1
}

# Waits up to $1 seconds for a window titled $2 (a title fragment with --part).
wait_window() {
  local limit=$1
  shift
  for _ in $(seq $((limit * 5))); do
    wine "$WDRV" find "$@" >/dev/null 2>&1 </dev/null && return 0
    sleep 0.2
  done
  return 1
}
