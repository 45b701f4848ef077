#!/usr/bin/env bash
# Saves docs/progress-dialog.png, docs/leftover-review.png,
# docs/removal-summary.png, docs/about-dialog.png and docs/likeit-dialog.png:
# each dialog of
# quor_dialog_gallery on a private Xvfb, in the test prefix.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BIN="$ROOT/build/${QUOR_PRESET:-debug}"
source "$ROOT/tools/lib/wine.sh"
prefix=$(wine_resolve_prefix "$WINE_TEST_PREFIX")
wine_ensure_prefix "$prefix"
export WINEPREFIX="$prefix"
xvfb_start

shoot() {  # flag, window title (empty: the program's visible window), output
  wine "$BIN/quor_dialog_gallery.exe" "$1" &
  local pid=$! i window=
  for i in $(seq 1 60); do
    if [ -n "$2" ]; then
      window=$(xdotool search --name "$2" 2>/dev/null | head -1) && [ -n "$window" ] && break
    else
      window=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -1) && [ -n "$window" ] && break
    fi
    sleep 0.5
  done
  [ -n "$window" ] || { echo "the window '$2' did not appear" >&2; wait "$pid" || true; return 1; }
  # The pointer away from the dialog: no hover look, no hint in the picture.
  xdotool mousemove 0 0
  sleep 2
  local X Y WIDTH HEIGHT SCREEN
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$3"
  wait "$pid" || true
  echo "saved $3" >&2
}

shoot --progress FrmProgressModal "$ROOT/docs/progress-dialog.png"
shoot --review "Leftovers found" "$ROOT/docs/leftover-review.png"
shoot --summary "" "$ROOT/docs/removal-summary.png"
shoot --about About "$ROOT/docs/about-dialog.png"
shoot --likeit "Like it" "$ROOT/docs/likeit-dialog.png"
