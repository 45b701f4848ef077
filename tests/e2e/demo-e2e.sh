#!/usr/bin/env bash
# End to end, in a Wine prefix of its own: install a demo program, run
#   quor uninstall --name "Demo Notes" --remove --yes
# and check that nothing of the program is left and nothing else changed.
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

# Files of drive C (not the Windows folder nor temporary files) and the
# software trees of the registry.
snapshot() {
  (cd "$WINEPREFIX/drive_c" && find . -path ./windows -prune -o -path './users/*/Temp' -prune \
    -o -print | LC_ALL=C sort) >"$1.files"
  : >"$1.reg"
  for key in 'HKCU\Software' 'HKLM\Software'; do
    wine reg export "$key" "$(winepath -w "$work/x.reg")" /y >/dev/null 2>&1 || true
    # Wine keeps volatile state of its own under "Temporary System Parameters".
    iconv -f UTF-16LE -t UTF-8 "$work/x.reg" | tr -d '\r' | sed '1s/^\xEF\xBB\xBF//' |
      awk '/^\[/ { skip = index($0, "\\Software\\Wine\\Temporary System Parameters") > 0 } !skip' \
      >>"$1.reg"
  done
}

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
exit $status
