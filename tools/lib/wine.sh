# Wine prefixes, the sandbox check and Xvfb. Sourced by tools/dev and by
# tools/wine-run. Expects ROOT to be set.

export WINEDEBUG=-all
# No Mono/Gecko prompts, and no .desktop files or MenuFiles values mirrored
# from the shortcuts that tests create.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

source "$ROOT/tools/lib/exit.sh"

# Every prefix of the project lives here; nothing outside is used, made or
# deleted.
WINE_PREFIXES="$ROOT/build/wine"
WINE_TEST_PREFIX="$WINE_PREFIXES/test"
WINE_RUN_PREFIX="$WINE_PREFIXES/run"
# Written once a prefix is made and sandboxed. A prefix without it is made
# again (one from an older, weaker sandbox too).
WINE_READY_MARK=.quor-sandboxed

# Prints the prefix with links and dots resolved when it lies inside
# build/wine/; refuses (non-zero, with a message) any other.
wine_resolve_prefix() {
  local base resolved
  base=$(realpath -m -- "$WINE_PREFIXES")
  resolved=$(realpath -m -- "$1")
  case "$resolved" in
    "$base"/?*) printf '%s\n' "$resolved" ;;
    *)
      echo "wine: refusing the prefix $1 ($resolved): only prefixes under $base/ are used" >&2
      return 1
      ;;
  esac
}

# Prints, NUL-separated, every symbolic link under drive_c, at any depth,
# that resolves outside drive_c. A new prefix links Desktop, Documents,
# Downloads, Music, Pictures, Videos and AppData/Roaming/Microsoft/Windows/
# Templates to the Linux home folder. (dosdevices holds ../drive_c and / for
# z: by design; nothing of ours goes there.)
wine_outside_links() {
  local drive link target
  drive=$(realpath -m -- "$1/drive_c")
  [ -d "$drive" ] || return 0
  while IFS= read -r -d '' link; do
    target=$(readlink -m -- "$link")
    case "$target" in
      "$drive" | "$drive"/*) ;;
      *) printf '%s\0' "$link" ;;
    esac
  # (Folders that tests delete meanwhile may vanish under find.)
  done < <(find "$drive" -type l -print0 2>/dev/null)
}

# Replaces each such link to a folder by an empty folder, and removes each
# other one (the link, never what it leads to).
wine_sandbox_prefix() {
  local link
  while IFS= read -r -d '' link; do
    if [ -d "$link" ]; then
      rm -f -- "$link" && mkdir -p -- "$link"
    else
      rm -f -- "$link"
    fi
  done < <(wine_outside_links "$1")
}

# Answers non-zero, naming the links, when the prefix still has one.
wine_check_sandbox() {
  local link status=0
  while IFS= read -r -d '' link; do
    echo "wine sandbox: $link -> $(readlink -- "$link") leads outside the prefix" >&2
    status=1
  done < <(wine_outside_links "$1")
  return $status
}

# Creates the prefix when it has no ready mark (under a lock, since ctest may
# start several programs at once) and sandboxes it. Refuses a prefix outside
# build/wine/.
wine_ensure_prefix() {
  local prefix
  prefix=$(wine_resolve_prefix "$1") || return 1
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [ ! -f "$prefix/$WINE_READY_MARK" ]; then
      echo "[dev] creating Wine prefix $prefix" >&2
      # Checked again right here: nothing outside build/wine/ is ever deleted.
      wine_resolve_prefix "$prefix" >/dev/null || exit 1
      rm -rf -- "$prefix"
      WINEPREFIX="$prefix" wineboot -i >/dev/null 2>&1 || true
      WINEPREFIX="$prefix" wineserver -w || true
      wine_sandbox_prefix "$prefix"
      wine_check_sandbox "$prefix" || exit 1
      touch "$prefix/$WINE_READY_MARK"
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
      on_exit xvfb_stop
      return 0
    fi
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
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

# Waits (up to about ten seconds) until the prefix's server has made its
# socket. Debian's Wine keeps it under /tmp/wine-XXXXXX, upstream's under
# /tmp/.wine-UID; both are named after the prefix's device and inode.
wine_wait_for_server() {
  local dev ino name i
  read -r dev ino < <(stat -c '%d %i' -- "$WINEPREFIX") || return 0
  name=$(printf 'server-%x-%x' "$dev" "$ino")
  for i in $(seq 1 100); do
    compgen -G "/tmp/.wine-$(id -u)/$name/socket" >/dev/null && return 0
    compgen -G "/tmp/wine-*/$name/socket" >/dev/null && return 0
    sleep 0.1
  done
}

# Starts a persistent wineserver for WINEPREFIX and Wine's background
# services, with no inherited output: a service started by the first program
# of a test run would otherwise hold that program's output pipe open, and
# ctest would wait for it until its time-out. The first program of a new
# server may fail while the services come up: the warm-up is retried, so that
# no test has to be.
wine_warm_up() {
  local try
  # Fails when the prefix's server already runs: the warm-up below tells.
  wineserver -p </dev/null >/dev/null 2>&1 || true
  wine_wait_for_server
  for try in 1 2 3 4 5; do
    if timeout 120 wine cmd.exe /c exit 0 </dev/null >/dev/null 2>&1; then
      # COM's service starts with the first shell call: start it here, not
      # in the middle of a test. (It answers 1 when already running.)
      timeout 60 wine net start RpcSs </dev/null >/dev/null 2>&1 || true
      # So does the desktop process with the first window, message-only
      # ones included: rundll32 makes one.
      timeout 60 wine rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1 || true
      return 0
    fi
    echo "[dev] Wine warm-up $try failed; trying again" >&2
    sleep 2
  done
  echo "[dev] Wine does not start a program in $WINEPREFIX" >&2
  return 1
}

wine_kill_server() {
  WINEPREFIX="$1" wineserver -k 2>/dev/null || true
}

# Stops the server of the given prefix when the script ends.
wine_stop_server_on_exit() {
  on_exit wine_kill_server "$1"
}

run_tests() {
  local prefix
  prefix=$(wine_resolve_prefix "$WINE_TEST_PREFIX")
  wine_ensure_prefix "$prefix"
  export WINEPREFIX="$prefix"
  xvfb_start
  wine_stop_server_on_exit "$prefix"
  wine_warm_up
  local rc=0
  ctest --test-dir "$BIN" --output-on-failure -j "$(nproc)" "$@" || rc=$?
  # The sandbox must have held for the whole run.
  wine_check_sandbox "$prefix" || rc=1
  return $rc
}

run_program() {
  local prefix
  prefix=$(wine_resolve_prefix "$WINE_RUN_PREFIX")
  wine_ensure_prefix "$prefix"
  export WINEPREFIX="$prefix"
  wine_check_sandbox "$prefix"
  # Without a display, the private Xvfb must exist before anything starts
  # Wine: a desktop process started first binds to no display, and the
  # window then fails with "no driver could be loaded".
  local headless=0
  [ -n "${DISPLAY:-}" ] || headless=1
  xvfb_or_display
  wine_stop_server_on_exit "$prefix"
  wine_warm_up
  "$ROOT/tools/demo/seed" "$BIN"
  "$ROOT/tools/demo/install" "$BIN"
  if [ $headless = 0 ]; then
    wine "$BIN/QuorUninstaller.exe"
  else
    run_program_screenshot
  fi
}

# Without a display nobody can see the window: it runs on a private Xvfb
# until the list is filled, its screenshot is saved, and it is closed.
run_program_screenshot() {
  local shot="$BUILD/screenshots/main-window.png" title='Quor Power Unintaller'
  mkdir -p "$(dirname "$shot")"
  wine "$BIN/QuorUninstaller.exe" &
  local pid=$! i window=
  for i in $(seq 1 120); do
    window=$(xdotool search --name "$title" 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.5
  done
  if [ -z "$window" ]; then
    echo "[dev] the main window did not appear" >&2
    wineserver -k
    return 1
  fi
  # The list fills and its sizes come in within moments of the first show.
  sleep 8
  local X Y WIDTH HEIGHT SCREEN
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$shot"
  echo "[dev] screenshot of the main window: $shot" >&2
  xdotool key --window "$window" alt+F4 >/dev/null 2>&1 || true
  for i in $(seq 1 20); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.5
  done
  kill -0 "$pid" 2>/dev/null && wineserver -k
  wait "$pid" || true
}

# The GUI needs a display: the user's own, or a private Xvfb.
xvfb_or_display() {
  if [ -z "${DISPLAY:-}" ]; then
    xvfb_start
    echo "[dev] no DISPLAY: running on Xvfb $DISPLAY" >&2
  fi
}
