# Wine prefixes, the sandbox check and Xvfb. Sourced by tools/dev and by
# tools/wine-run. Expects ROOT to be set.

export WINEDEBUG=-all
# No Mono/Gecko prompts, and no .desktop files or MenuFiles values mirrored
# from the shortcuts that tests create.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

WINE_TEST_PREFIX="$ROOT/build/wine/test"
WINE_RUN_PREFIX="$ROOT/build/wine/run"

# Prints every link in a user folder of the prefix that leads outside it.
# A new prefix links Desktop, Documents, Downloads, Music, Pictures and
# Videos to the Linux home folder.
wine_outside_links() {
  local prefix=$1 link target
  for link in "$prefix"/drive_c/users/*/* "$prefix"/drive_c/users/*/AppData/*; do
    [ -L "$link" ] || continue
    target=$(readlink -f "$link" || true)
    case "$target" in
      "$prefix"/*) ;;
      *) printf '%s\n' "$link" ;;
    esac
  done
}

# Replaces each such link by an empty folder.
wine_sandbox_prefix() {
  local link
  while IFS= read -r link; do
    rm -f "$link" && mkdir -p "$link"
  done < <(wine_outside_links "$1")
}

# Answers non-zero, naming the links, when the prefix still has one.
wine_check_sandbox() {
  local links link
  links=$(wine_outside_links "$1")
  [ -z "$links" ] && return 0
  while IFS= read -r link; do
    echo "wine sandbox: $link leads outside the prefix" >&2
  done <<<"$links"
  return 1
}

# Creates the prefix when it is missing (under a lock, since ctest may start
# several programs at once) and sandboxes it.
wine_ensure_prefix() {
  local prefix=$1
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [ ! -f "$prefix/.quor-ready" ]; then
      echo "[dev] creating Wine prefix $prefix" >&2
      rm -rf "$prefix"
      WINEPREFIX="$prefix" wineboot -i >/dev/null 2>&1 || true
      WINEPREFIX="$prefix" wineserver -w || true
      wine_sandbox_prefix "$prefix"
      wine_check_sandbox "$prefix" || exit 1
      touch "$prefix/.quor-ready"
    fi
  ) 9>"$prefix.lock"
}

XVFB_PID=
xvfb_start() {
  local n
  for n in $(seq 91 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    local i
    for i in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
    if kill -0 "$XVFB_PID" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ]; then
      export DISPLAY=":$n"
      return 0
    fi
  done
  echo "[dev] could not start Xvfb" >&2
  return 1
}

xvfb_stop() {
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
  fi
}

# Starts a persistent wineserver and Wine's background services with no
# inherited output: a service started by the first program of a test run
# would otherwise hold that program's output pipe open, and ctest would wait
# for it until its time-out.
wine_warm_up() {
  # The server outlives this script's output: it must not hold it open.
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
}

run_tests() {
  wine_ensure_prefix "$WINE_TEST_PREFIX"
  export WINEPREFIX="$WINE_TEST_PREFIX"
  xvfb_start
  trap 'WINEPREFIX="$WINE_TEST_PREFIX" wineserver -k 2>/dev/null || true; xvfb_stop' EXIT
  wine_warm_up
  local rc=0
  ctest --test-dir "$BIN" --output-on-failure -j "$(nproc)" --repeat until-pass:2 "$@" || rc=$?
  # The sandbox must have held for the whole run.
  wine_check_sandbox "$WINE_TEST_PREFIX" || rc=1
  return $rc
}

run_program() {
  wine_ensure_prefix "$WINE_RUN_PREFIX"
  export WINEPREFIX="$WINE_RUN_PREFIX"
  wine_check_sandbox "$WINE_RUN_PREFIX"
  trap 'WINEPREFIX="$WINE_RUN_PREFIX" wineserver -k 2>/dev/null || true' EXIT
  wine_warm_up
  "$ROOT/tools/demo/seed" "$BIN"
  "$ROOT/tools/demo/install" "$BIN"
  if [ -f "$BIN/QuorUninstaller.exe" ]; then
    xvfb_or_display
    wine "$BIN/QuorUninstaller.exe"
  else
    wine "$BIN/quor.exe" list
  fi
}

# The GUI needs a display: the user's own, or a private Xvfb.
xvfb_or_display() {
  if [ -z "${DISPLAY:-}" ]; then
    xvfb_start
    trap 'wineserver -k 2>/dev/null || true; xvfb_stop' EXIT
    echo "[dev] no DISPLAY: running on Xvfb $DISPLAY" >&2
  fi
}
