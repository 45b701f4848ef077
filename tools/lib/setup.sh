# Set-up steps shared by the verbs of tools/dev. Sourced, not run.
# Expects ROOT, BUILD, DEPS, PRESET and BIN to be set.

APT_PACKAGES=(
  cmake ninja-build ccache pkg-config dpkg-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  libz-mingw-w64-dev nlohmann-json3-dev googletest
  wine wine64 xvfb xauth x11-utils xdotool imagemagick nsis wixl
  clang libclang-rt-dev g++ libgtest-dev llvm
)

log() { printf '[dev] %s\n' "$*" >&2; }

as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

apt_updated=0
apt_update_once() {
  if [ $apt_updated = 0 ]; then
    as_root apt-get update -qq
    apt_updated=1
  fi
}

ensure_packages() {
  local missing=()
  local p
  for p in "${APT_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    log "installing: ${missing[*]}"
    apt_update_once
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
  fi
}

# Debian's source entries, so that libpng can be built from Debian's own source.
ensure_deb_src() {
  local dir=/etc/apt/sources.list.d
  [ -f "$dir/quor-deb-src.sources" ] || [ -f "$dir/quor-deb-src.list" ] && return 0
  log "adding deb-src entries"
  if [ -f "$dir/debian.sources" ]; then
    sed 's/^Types:.*/Types: deb-src/' "$dir/debian.sources" | as_root tee "$dir/quor-deb-src.sources" >/dev/null
  else
    grep -h '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' |
      as_root tee "$dir/quor-deb-src.list" >/dev/null
  fi
  apt_updated=0
  apt_update_once
}

# libpng, built with the cross compiler from Debian's source package and
# installed as a static library into $DEPS/mingw.
ensure_libpng() {
  local prefix="$DEPS/mingw"
  [ -f "$prefix/lib/libpng16.a" ] && [ -f "$prefix/include/png.h" ] && return 0
  ensure_deb_src
  local src="$DEPS/src"
  mkdir -p "$src"
  if ! ls -d "$src"/libpng1.6-*/ >/dev/null 2>&1; then
    log "fetching libpng1.6 source package"
    # A mirror may list a version whose files it no longer holds: try each
    # listed version, newest first.
    local v ok=0
    for v in "" $(apt-cache showsrc libpng1.6 | awk '/^Version:/ {print $2}' | sort -rV); do
      if (cd "$src" && apt-get source -qq "libpng1.6${v:+=$v}" >&2); then ok=1; break; fi
    done
    [ $ok = 1 ] || { log "could not fetch the libpng1.6 source package"; return 1; }
  fi
  local dir
  dir=$(ls -d "$src"/libpng1.6-*/ | head -n 1)
  log "building libpng for mingw-w64"
  cmake -S "$dir" -B "$DEPS/libpng-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DPNG_BUILD_ZLIB=OFF -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_EXPORT=ON >&2
  cmake --build "$DEPS/libpng-build" >&2
  cmake --install "$DEPS/libpng-build" >&2
}

# The cross compiler must not search /usr/include, so the header-only JSON
# library is copied next to the cross-built libraries.
ensure_json_headers() {
  local dest="$DEPS/mingw/include/nlohmann"
  [ -f "$dest/json.hpp" ] && return 0
  mkdir -p "$DEPS/mingw/include"
  cp -r /usr/include/nlohmann "$dest"
}

# Builds everything, or only the targets named in BUILD_TARGETS.
configure_and_build() {
  if [ ! -f "$BIN/build.ninja" ]; then
    log "configuring ($PRESET)"
    cmake --preset "$PRESET" -S "$ROOT" >&2
  fi
  log "building ($PRESET)"
  local targets=()
  local t
  for t in ${BUILD_TARGETS:-}; do targets+=(--target "$t"); done
  cmake --build "$BIN" "${targets[@]}" >&2
}

# Benchmarks fill a prefix of their own with a lived-in machine (kept between
# runs), so that the test prefix stays small.
run_bench() {
  local prefix
  prefix=$(wine_resolve_prefix "$WINE_PREFIXES/bench")
  wine_ensure_prefix "$prefix"
  export WINEPREFIX="$prefix"
  wine_stop_server_on_exit "$prefix"
  xvfb_or_display
  wine_warm_up
  local b
  for b in "$BIN"/bench_*.exe; do
    echo "== $(basename "$b")"
    QUOR_WINEPREFIX="$prefix" "$ROOT/tools/wine-run" "$b"
  done
}

source "$ROOT/tools/lib/wine.sh"

# The window-free code and its tests built natively with clang and the
# address and undefined-behaviour sanitizers (tests/native), and run: any
# report or failing test fails it. Arguments go to ctest.
NATIVE_BIN="$BUILD/native-asan"

run_native_tests() {
  if [ ! -f "$NATIVE_BIN/build.ninja" ]; then
    log "configuring the native sanitizer build"
    cmake -S "$ROOT/tests/native" -B "$NATIVE_BIN" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >&2
  fi
  log "building the native sanitizer build"
  cmake --build "$NATIVE_BIN" >&2
  log "running the native sanitizer tests"
  ctest --test-dir "$NATIVE_BIN" --output-on-failure -j "$(nproc)" "$@"
}

setup_all() {
  ensure_packages
  ensure_libpng
  ensure_json_headers
  configure_and_build
}

# The language-file fuzzer: the INI reader built natively with clang and
# libFuzzer, run for the given number of seconds (default 60). Further
# arguments go to libFuzzer. Crashing inputs land in build/fuzz/crashes/.
FUZZ_PACKAGES=(clang libclang-rt-dev g++)

run_fuzzer() {
  local seconds=${1:-60}
  [ $# -gt 0 ] && shift
  local missing=() p
  for p in "${FUZZ_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    log "installing: ${missing[*]}"
    apt_update_once
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
  fi
  local out="$BUILD/fuzz"
  mkdir -p "$out/corpus" "$out/crashes"
  log "building the INI fuzzer"
  clang++ -std=c++20 -g -O1 -Wall -Wextra -fsanitize=fuzzer,address,undefined \
    -fno-sanitize-recover=undefined -I "$ROOT/src" \
    "$ROOT/src/app/IniText.cpp" "$ROOT/tests/fuzz/IniTextFuzz.cpp" -o "$out/ini_fuzz"
  cp -n "$ROOT"/resources/Languages/*.ini "$ROOT"/tests/fuzz/seeds/* "$out/corpus/" 2>/dev/null || true
  log "fuzzing for ${seconds}s"
  "$out/ini_fuzz" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
    -artifact_prefix="$out/crashes/" "$@" "$out/corpus"
}
