#!/usr/bin/env bash
# The program's own installer, end to end in a Wine prefix of its own: a
# silent install to a chosen folder, the registration as `quor list --json`
# shows it, a silent uninstall, then nothing of the program is left, nothing
# else changed, and a scan for it finds nothing but the registration it is
# handed.
#   tests/e2e/package-e2e.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
ROOT=$2
source "$ROOT/tools/lib/wine.sh"
WINEPREFIX=$(wine_resolve_prefix "$WINE_PREFIXES/package")
export WINEPREFIX
wine_ensure_prefix "$WINEPREFIX"
wine_check_sandbox "$WINEPREFIX"
wine_stop_server_on_exit "$WINEPREFIX"
wine_warm_up

setup=$(ls "$build"/package/QuorUninstaller-*-setup.exe | head -n 1)
quor="$build/quor.exe"
target='C:\Tools\Quor Uninstaller'
unix_target="$WINEPREFIX/drive_c/Tools/Quor Uninstaller"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quor Uninstaller'
work=$(mktemp -d)
on_exit rm -rf -- "$work"

# Files of drive C (not the Windows folder nor temporary files) and the
# software trees of the registry.
snapshot() {
  (cd "$WINEPREFIX/drive_c" && find . -path ./windows -prune -o -path './users/*/Temp' -prune \
    -o -print | LC_ALL=C sort) >"$1.files"
  : >"$1.reg"
  for k in 'HKCU\Software' 'HKLM\Software'; do
    wine reg export "$k" "$(winepath -w "$work/x.reg")" /y >/dev/null 2>&1 || true
    iconv -f UTF-16LE -t UTF-8 "$work/x.reg" | tr -d '\r' | sed '1s/^\xEF\xBB\xBF//' |
      awk '/^\[/ { skip = index($0, "\\Software\\Wine\\Temporary System Parameters") > 0 } !skip' \
      >>"$1.reg"
  done
}

# The value of one key of the program's object in `quor list --json`.
field() {
  awk '
    /^  \{/ { block = "" } { block = block $0 "\n" }
    /^  \}/ { if (block ~ /"displayName": "Quor Uninstaller"/) printf "%s", block }' "$1" |
    sed -n "s/^ *\"$2\": \"\{0,1\}\([^\"]*\)\"\{0,1\},\{0,1\}\$/\1/p"
}

wait_until_gone() {
  for _ in $(seq 1 120); do
    [ -e "$1" ] || return 0
    sleep 0.5
  done
  return 1
}

fail() {
  echo "FAIL: $*"
  status=1
}

# A run that ended early may have left the program installed.
if [ -e "$unix_target/uninstall.exe" ]; then
  wine "$target\\uninstall.exe" /S </dev/null >/dev/null 2>&1 || true
  wait_until_gone "$unix_target" || true
fi
wine reg delete "$key" /f >/dev/null 2>&1 || true
# Wine writes some known-folder paths into the registry the first time a
# program asks for them; a read-only scan does that before the first snapshot.
warm='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\QuorPackageWarmUp'
wine reg add "$warm" /v DisplayName /d "Quor Package Warm-up" /f >/dev/null 2>&1
wine "$quor" scan --name "Quor Package Warm-up" </dev/null >/dev/null
wine reg delete "$warm" /f >/dev/null 2>&1

# The chosen folder's parent is the user's own and stays.
mkdir -p "$(dirname "$unix_target")"
status=0
snapshot "$work/before"
# The installer reads /D= from its raw command line, unquoted to its end, as
# a user types it: the words go to wine apart, so that none is quoted.
# shellcheck disable=SC2086
wine "$setup" /S /D=$target </dev/null
[ -f "$unix_target/QuorUninstaller.exe" ] || fail "the installer put nothing into $target"

wine "$quor" list --json </dev/null | tr -d '\r' >"$work/list.json"
version=$(wine "$target\\quor.exe" --version </dev/null | tr -d '\r')
expect() {
  local got
  got=$(field "$work/list.json" "$1")
  [ "$got" = "$2" ] || fail "$1 is '$got', expected '$2'"
}
expect displayName 'Quor Uninstaller'
expect publisher 'Quor'
expect displayVersion "${version#quor }"
expect displayIcon 'C:\\Tools\\Quor Uninstaller\\QuorUninstaller.exe,0'
expect installLocation 'C:\\Tools\\Quor Uninstaller'
expect installDate "$(date +%Y-%m-%d)T00:00:00"
size=$(field "$work/list.json" sizeKiB)
size=${size%,}
[ "${size:-0}" -gt 500 ] || fail "sizeKiB is '$size'"
wine reg query "$key" /v QuietUninstallString >/dev/null 2>&1 || fail "no QuietUninstallString"
[ $status = 0 ] && echo "PASS: the installer installs silently and registers the program fully"

wine "$target\\uninstall.exe" /S </dev/null
wait_until_gone "$unix_target" || fail "the uninstaller left $unix_target"
wine reg query "$key" >/dev/null 2>&1 && fail "the registration is still there"
snapshot "$work/after"
diff -u "$work/before.files" "$work/after.files" || fail "files differ after the uninstall"
diff -u "$work/before.reg" "$work/after.reg" || fail "the registry differs after the uninstall"

# A scan for the program after its own uninstall, handed its old registration.
wine reg add "$key" /v DisplayName /d 'Quor Uninstaller' /f >/dev/null
wine reg add "$key" /v Publisher /d 'Quor' /f >/dev/null
wine reg add "$key" /v InstallLocation /d "$target" /f >/dev/null
wine "$quor" scan --name 'Quor Uninstaller' --json </dev/null >"$work/scan.json" || true
wine reg delete "$key" /f >/dev/null 2>&1
found=$(awk '/"path":/ { n++ } END { print n + 0 }' "$work/scan.json")
if [ "$found" != 1 ] || ! grep -q '"kind": "regkey"' "$work/scan.json"; then
  cat "$work/scan.json"
  fail "the scan after the uninstall found more than the registration"
fi
[ $status = 0 ] && echo "PASS: the uninstaller leaves nothing behind"
exit $status
