#!/usr/bin/env bash
# End to end, in a Wine prefix of its own: install a demo program, run
#   quor uninstall --name "Demo Notes" --remove --yes
# and check that nothing of the program is left and nothing else changed
# (besides the backup set); then install it again, remove it with
#   quor remove --name "Demo Notes" --yes --all
# restore the backup set, and check that the machine is as it was installed.
#   tests/e2e/demo-e2e.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
ROOT=$2
source "$ROOT/tools/lib/wine.sh"
WINEPREFIX=$(wine_resolve_prefix "$WINE_PREFIXES/e2e")
export WINEPREFIX
wine_ensure_prefix "$WINEPREFIX"
wine_check_sandbox "$WINEPREFIX"
wine_stop_server_on_exit "$WINEPREFIX"
wine_warm_up

work=$(mktemp -d)
on_exit rm -rf -- "$work"

# Files of drive C (not the Windows folder, temporary files nor the backup
# sets) and the software trees of the registry.
snapshot() {
  (cd "$WINEPREFIX/drive_c" && find . -path ./windows -prune -o -path './users/*/Temp' -prune \
    -o -path './users/*/AppData/Local/Quor Uninstaller' -prune -o -print | LC_ALL=C sort) >"$1.files"
  : >"$1.reg"
  for key in 'HKCU\Software' 'HKLM\Software'; do
    wine reg export "$key" "$(winepath -w "$work/x.reg")" /y >/dev/null 2>&1 || true
    # Wine keeps volatile state of its own under "Temporary System Parameters".
    iconv -f UTF-16LE -t UTF-8 "$work/x.reg" | tr -d '\r' | sed '1s/^\xEF\xBB\xBF//' |
      awk '/^\[/ { skip = index($0, "\\Software\\Wine\\Temporary System Parameters") > 0 } !skip' \
      >>"$1.reg"
  done
}

# A run that ended after its restore left the demo installed in this prefix:
# each run starts without it and without backup sets.
if wine "$build/quor.exe" list 2>/dev/null | grep -q 'Demo Notes'; then
  wine "$build/quor.exe" remove --name "Demo Notes" --yes --all --no-backup </dev/null >/dev/null || true
fi
wine "$build/quor.exe" backups --purge </dev/null >/dev/null || true

# Wine writes some known-folder paths into the registry the first time a
# program asks for them; a read-only scan does that before the first snapshot.
warm='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\QuorE2EWarmUp'
wine reg add "$warm" /v DisplayName /d "Quor E2E Warm-up" /f >/dev/null 2>&1
wine "$build/quor.exe" scan --name "Quor E2E Warm-up" </dev/null >/dev/null
wine reg delete "$warm" /f >/dev/null 2>&1

snapshot "$work/before"
"$ROOT/tools/demo/install" "$build" DemoNotes
if ! grep -q 'Demo Notes' <(wine "$build/quor.exe" list 2>/dev/null); then
  echo "FAIL: the demo program did not install"
  exit 1
fi
wine "$build/quor.exe" uninstall --name "Demo Notes" --remove --yes </dev/null
snapshot "$work/after"

status=0
if ! diff -u "$work/before.files" "$work/after.files"; then
  echo "FAIL: files differ after the uninstall"
  status=1
fi
if ! diff -u "$work/before.reg" "$work/after.reg"; then
  echo "FAIL: the registry differs after the uninstall"
  status=1
fi
[ $status = 0 ] && echo "PASS: nothing of the demo program is left, and nothing else changed"

# The round trip: remove the installed program, then restore its backup set.
wine "$build/quor.exe" backups --purge </dev/null >/dev/null
"$ROOT/tools/demo/install" "$build" DemoNotes
snapshot "$work/installed"
wine "$build/quor.exe" remove --name "Demo Notes" --yes --all </dev/null
if wine "$build/quor.exe" list 2>/dev/null | grep -q 'Demo Notes'; then
  echo "FAIL: the demo program is still registered after remove"
  status=1
fi
id=$(wine "$build/quor.exe" backups --json </dev/null | sed -n 's/^ *"id": "\(.*\)",$/\1/p')
if [ "$(printf '%s\n' "$id" | grep -c .)" != 1 ]; then
  echo "FAIL: expected one backup set, found: $id"
  exit 1
fi
wine "$build/quor.exe" restore "$id" --yes </dev/null || { echo "FAIL: restore did not put everything back"; status=1; }
snapshot "$work/restored"
if ! diff -u "$work/installed.files" "$work/restored.files"; then
  echo "FAIL: files differ after the restore"
  status=1
fi
if ! diff -u "$work/installed.reg" "$work/restored.reg"; then
  echo "FAIL: the registry differs after the restore"
  status=1
fi
[ $status = 0 ] && echo "PASS: the restore put the removed program back as it was installed"
exit $status
