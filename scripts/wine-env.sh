# Sourced by scripts/run, scripts/test and scripts/bench: private Wine
# worlds under build/ (each its own prefix, display and wineserver), Japanese
# locale, code page 932.
# Usage: orv_wine_start PREFIX_DIR [fresh]; orv_wine_stop (ends every world
# and display started here). scripts/test makes further worlds from a copy of
# its first prefix with orv_wine_copy_world.

ORV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
ORV_BUILD=${ORV_BUILD:-$ORV_ROOT/build}
ORV_STARTED_XVFB=""
ORV_XVFB_PIDS=()
ORV_PREFIXES=()

orv_build() {
  # Warnings are errors when CI builds; a developer's build only shows them.
  local werror=OFF
  [ "${CI:-}" = true ] && werror=ON
  cmake -S "$ORV_ROOT" -B "$ORV_BUILD" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$ORV_ROOT/cmake/mingw-i686.cmake" -DORV_WERROR=$werror >/dev/null
  cmake --build "$ORV_BUILD" -j "$(nproc)"
}

# Starts Xvfb on a free display number that the server picks itself and
# reports when it is ready (-displayfd): several worlds started at the same
# moment can never end up on one display, where they would share the X
# clipboard and pointer.
orv_start_xvfb() {
  local out n=""
  out=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$out" >/dev/null 2>&1 &
  ORV_STARTED_XVFB=$!
  for _ in $(seq 1 100); do
    if [ "$(wc -l < "$out")" -ge 1 ]; then
      n=$(head -n 1 "$out" | tr -dc 0-9)
      break
    fi
    kill -0 "$ORV_STARTED_XVFB" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$out"
  if [ -n "$n" ] && kill -0 "$ORV_STARTED_XVFB" 2>/dev/null; then
    export DISPLAY=":$n"
    ORV_XVFB_PIDS+=("$ORV_STARTED_XVFB")
    return 0
  fi
  kill "$ORV_STARTED_XVFB" 2>/dev/null || true
  ORV_STARTED_XVFB=""
  echo "Xvfb could not be started" >&2
  return 1
}

# $1: prefix folder; $2 = fresh: make a new prefix even when one exists.
orv_wine_start() {
  local prefix=$1 fresh=${2:-}
  export WINEPREFIX=$prefix
  export WINEARCH=win64
  export WINEDEBUG=-all
  export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
  export XDG_DATA_HOME=$ORV_BUILD/wine/xdg   # Wine's recycle bin lives here
  export WINEDLLOVERRIDES="winealsa.drv,winepulse.drv,wineoss.drv=d;mscoree,mshtml="
  mkdir -p "$XDG_DATA_HOME"

  if [ -z "${DISPLAY:-}" ] || [ "${ORV_OWN_DISPLAY:-}" = 1 ]; then
    orv_start_xvfb
  fi

  if [ "$fresh" = fresh ] && [ -d "$prefix" ]; then
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$prefix"
  fi
  if [ ! -f "$prefix/system.reg" ]; then
    mkdir -p "$(dirname "$prefix")"
    # Made under the Japanese locale, so dialog and message-box text renders.
    wineboot -i </dev/null >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
    # No window manager on Xvfb: without this each destroyed window costs 2 s.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    # A program that crashes just ends: no debugger is attached to it, which
    # would keep it (and whoever waits for it) alive until a time limit.
    for view in 32 64; do
      wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f \
        /reg:$view >/dev/null 2>&1 || true
    done
    wineserver -w
  fi
  orv_wine_warm
}

# A warm server for the whole run; its output must not reach our callers'
# pipes, or whoever reads them waits for Wine's services forever.
orv_wine_warm() {
  ORV_PREFIXES+=("$WINEPREFIX")
  wineserver -p </dev/null >/dev/null 2>&1
  wineboot </dev/null >/dev/null 2>&1
}

# Settles the current world's registry into its files, so the prefix can be
# copied whole.
orv_wine_settle() {
  wineserver -w >/dev/null 2>&1 || true
}

# $1: a settled prefix; $2: the new world's folder. Copies the prefix to
# $2/prefix and starts the copy on a display of its own with its own
# wineserver and recycle bin. Writes $2/world.env for the programs that run
# there, and leaves the caller's environment as it was, so several copies can
# be made at once in the background; orv_wine_adopt_world then lets
# orv_wine_stop end the world.
orv_wine_copy_world() {
  local from=$1 world=$2
  rm -rf "$world"
  mkdir -p "$world/xdg"
  cp -a "$from" "$world/prefix"
  (
    export WINEPREFIX=$world/prefix XDG_DATA_HOME=$world/xdg
    orv_start_xvfb
    echo "$ORV_STARTED_XVFB" > "$world/xvfb.pid"
    wineserver -p </dev/null >/dev/null 2>&1
    wineboot </dev/null >/dev/null 2>&1
    printf 'export WINEPREFIX=%q DISPLAY=%q XDG_DATA_HOME=%q\n' "$WINEPREFIX" "$DISPLAY" "$XDG_DATA_HOME" \
      > "$world/world.env"
  )
}

orv_wine_adopt_world() {
  local world=$1
  ORV_PREFIXES+=("$world/prefix")
  [ -s "$world/xvfb.pid" ] && ORV_XVFB_PIDS+=("$(cat "$world/xvfb.pid")")
  [ -s "$world/world.env" ]
}

orv_wine_stop() {
  local p
  wineserver -k >/dev/null 2>&1 || true
  for p in "${ORV_PREFIXES[@]}"; do
    WINEPREFIX=$p wineserver -k >/dev/null 2>&1 || true
  done
  ORV_PREFIXES=()
  for p in "${ORV_XVFB_PIDS[@]}"; do
    kill "$p" 2>/dev/null || true
    wait "$p" 2>/dev/null || true
  done
  ORV_XVFB_PIDS=()
  ORV_STARTED_XVFB=""
}
