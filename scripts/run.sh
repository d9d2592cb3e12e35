#!/usr/bin/env bash
# Builds the program and starts it, from a fresh Debian 12 machine (run as root, or with sudo).
#
# With a display the window simply opens, on the user's own network: that is where the
# catalogue sites and the renderers are. Without one (a build machine) the program runs under
# Xvfb inside the private network namespace of scripts/netns-run, a picture
# of its window is written to a PNG file (MUMIAN_SCREENSHOT, by default
# build/release/mumian-window.png) and its path printed; then the program is closed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset release
cmake --build --preset release --target mumian
program="$PWD/build/release/src/app/mumian"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$program"
fi

shot="${MUMIAN_SCREENSHOT:-$PWD/build/release/mumian-window.png}"
mkdir -p "$(dirname "$shot")"
rm -f "$shot"
scripts/netns-run bash -c '
  set -euo pipefail
  program=$1 shot=$2
  work=$(mktemp -d)
  cleanup() {
    if [ -n "${app:-}" ]; then kill "$app" 2>/dev/null || true; wait "$app" 2>/dev/null || true; fi
    if [ -n "${xvfb:-}" ]; then kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; fi
    rm -rf "$work"
  }
  trap cleanup EXIT
  # Xvfb picks a free display number and writes it to the pipe.
  mkfifo "$work/display"
  Xvfb -displayfd 3 -screen 0 720x600x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  xvfb=$!
  if ! read -r -t 20 number <"$work/display"; then
    echo "Xvfb did not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 1
  fi
  export DISPLAY=":$number"
  "$program" >"$work/program.log" 2>&1 &
  app=$!
  # Give the window time to be mapped and painted; there is no window manager to ask.
  sleep 3
  if ! kill -0 "$app" 2>/dev/null; then
    echo "the program ended early:" >&2
    cat "$work/program.log" >&2
    exit 1
  fi
  # The window sits at (50, 50) with a client area of 632 x 512 and, without a window
  # manager, no frame.
  if command -v import >/dev/null; then
    import -window root -crop 632x512+50+50 +repage "$shot"
  else
    xwd -root -silent | convert xwd:- -crop 632x512+50+50 +repage "$shot"
  fi
' run-screenshot "$program" "$shot"
echo "Screenshot of the window: $shot"
