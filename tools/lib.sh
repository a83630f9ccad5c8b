# Shared by the scripts in tools/: installing what the build needs, and a
# private virtual screen. Source it; it defines functions only.

TINTMOOR_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Debian packages the build, the tests and the demo need.
TINTMOOR_PACKAGES=(
  cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev libgmock-dev libbenchmark-dev libpugixml-dev
  libstb-dev g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix wine wine32:i386 wine64 fonts-wine
  xvfb xdotool imagemagick x11-utils python3
  # The release files (tools/release) and their tests.
  cmark-gfm help2man dpkg-dev man-db unzip binutils file
)

# The game's registry key, where its installer writes "AppPath" (the install
# folder). The game is 32-bit, so the key lives in the registry's 32-bit view.
TINTMOOR_GAME_KEY='HKLM\Software\Microsoft\Microsoft Games\Age of Mythology\1.0'

# Sets the game's install folder (a Windows path) in a private prefix.
tintmoor_set_game_folder() {
  "$TINTMOOR_ROOT/tools/wine-run" --prefix "$1" reg add "$TINTMOOR_GAME_KEY" /v AppPath \
    /t REG_SZ /d "$2" /f /reg:32 >/dev/null 2>&1
}

# True when Wine's 32-bit loader runs here: a kernel without 32-bit support
# cannot start it.
tintmoor_wine32_runs() { /usr/lib/wine/wine --version >/dev/null 2>&1; }

# The Windows build the scripts run: the 32-bit program, or on a host whose
# kernel cannot start 32-bit programs, the 64-bit build of the same code.
tintmoor_windows_preset() {
  if [ -n "${TINTMOOR_PRESET:-}" ]; then
    echo "$TINTMOOR_PRESET"
  elif tintmoor_wine32_runs; then
    echo win32
  else
    echo win64
  fi
}

# Wine's settings for a private prefix: quiet, and no Mono or Gecko installer
# prompts (the program needs neither).
tintmoor_wine_env() {
  export WINEPREFIX=$1
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEARCH=${WINEARCH:-win64}
  export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
  # Wine reads a program's arguments, and the names of Unix files, in the
  # locale's character set: in any but UTF-8, a name outside ASCII is lost
  # before the program sees it.
  [[ ${LC_ALL:-${LC_CTYPE:-${LANG:-}}} =~ \.[Uu][Tt][Ff]-?8(@|$) ]] || export LC_ALL=C.UTF-8
}

# The Wine loader that starts $1 (a program, or a prefix tool such as
# wineboot). Debian's `wine` starts the 32-bit loader, which a kernel without
# 32-bit support cannot run; 64-bit programs (the win64 build) and, on such a
# kernel, the prefix's own tools go through the 64-bit loader directly.
tintmoor_wine_loader() {
  if [ -f "$1" ] && tintmoor_is_pe64 "$1"; then
    echo /usr/lib/wine/wine64
  elif tintmoor_wine32_runs; then
    echo wine
  else
    echo /usr/lib/wine/wine64
  fi
}

# True for a 64-bit (x86-64) Windows program.
tintmoor_is_pe64() {
  local offset
  offset=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ') || return 1
  [ -n "$offset" ] && [ "$(od -An -tx2 -j$((offset + 4)) -N2 "$1" 2>/dev/null | tr -d ' ')" = 8664 ]
}

# Shows Wine only the fonts of a bare Debian 12 (fonts-dejavu-core), through a
# fontconfig setup in folder $1 naming one font folder that holds just those:
# Wine reads the folders fontconfig names, not its filtered list. A prefix
# remembers the fonts it was made with, so make it with this in force too.
tintmoor_lean_fonts() {
  local f
  mkdir -p "$1/cache"
  for f in DejaVuSans DejaVuSans-Bold DejaVuSansMono DejaVuSansMono-Bold DejaVuSerif DejaVuSerif-Bold; do
    ln -sf "/usr/share/fonts/truetype/dejavu/$f.ttf" "$1/$f.ttf"
  done
  printf '<?xml version="1.0"?>\n<fontconfig><dir>%s</dir><cachedir>%s/cache</cachedir></fontconfig>\n' \
    "$1" "$1" >"$1/fonts.conf"
  export FONTCONFIG_FILE=$1/fonts.conf
}

# Installs whatever is missing; quiet and idempotent.
tintmoor_install_deps() {
  local missing=() p
  for p in "${TINTMOOR_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "tintmoor: missing packages: ${missing[*]} (run as root to install them)" >&2
    return 1
  fi
  echo "tintmoor: installing ${missing[*]}" >&2
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq >/dev/null
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Starts Xvfb on a free display and exports DISPLAY; tintmoor_stop_xvfb ends it.
tintmoor_start_xvfb() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    TINTMOOR_XVFB_PID=$!
    local i
    for i in $(seq 1 50); do
      if DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
        export DISPLAY=":$n"
        return 0
      fi
      kill -0 "$TINTMOOR_XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    kill "$TINTMOOR_XVFB_PID" 2>/dev/null || true
  done
  echo "tintmoor: could not start Xvfb" >&2
  return 1
}

tintmoor_stop_xvfb() {
  if [ -n "${TINTMOOR_XVFB_PID:-}" ]; then
    kill "$TINTMOOR_XVFB_PID" 2>/dev/null || true
    wait "$TINTMOOR_XVFB_PID" 2>/dev/null || true
    TINTMOOR_XVFB_PID=
  fi
}

# Starts Tintmoor.exe ($2) in prefix $1 on the screen in $DISPLAY, writes a
# picture of its window to $3 once it has painted, then closes it with Alt+F4
# as a user would. The pointer goes to a corner first, so that no box's tip
# shows in the picture.
tintmoor_window_picture() {
  local pid wid= _
  "$TINTMOOR_ROOT/tools/wine-run" --prefix "$1" "$2" >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 1 300); do
    wid=$(xdotool search --onlyvisible --name "^Brindle's AoM Tintmoor\$" 2>/dev/null | head -1) || true
    [ -n "$wid" ] || ! kill -0 "$pid" 2>/dev/null && break
    sleep 0.1
  done
  [ -n "$wid" ] || { echo "tintmoor: the program's window did not appear" >&2 && return 1; }
  xdotool mousemove 0 0 2>/dev/null || true
  sleep 1
  mkdir -p "$(dirname "$3")"
  import -window "$wid" "$3"
  xdotool windowfocus "$wid" key alt+F4 2>/dev/null || true
  for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill "$pid" 2>/dev/null || true
}

# Ends the Wine processes of one private prefix.
tintmoor_stop_wine() {
  WINEPREFIX=$1 wineserver -k >/dev/null 2>&1 || true
}
