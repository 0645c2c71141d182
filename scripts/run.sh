#!/usr/bin/env bash
# Installs what is missing, builds, lays out a portable program folder with the
# example office data and starts Quillan. Without a display it starts the
# program on a virtual display and saves a screenshot of the main window.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_packages "${QUILLAN_RUN_PACKAGES[@]}"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  install_packages xvfb xauth x11-utils imagemagick
fi

build_tree "$QUILLAN_ROOT/build-run" -DQUILLAN_BUILD_TESTS=OFF

# The portable program folder: the executable, its icon, Set.ini and the
# office's text files.
DIST="$QUILLAN_ROOT/dist/quillan"
mkdir -p "$DIST"
install -m 0755 "$QUILLAN_ROOT/build-run/bin/quillan" "$DIST/quillan"
install -m 0644 "$QUILLAN_ROOT/assets/pictures/icon.png" "$DIST/quillan.png"
if [ ! -e "$DIST/Set.ini" ]; then
  install -m 0644 "$QUILLAN_ROOT/examples/Set.ini" "$DIST/Set.ini"
fi
# The help text ships with the program; the contacts list is the office's
# own, so an example is laid out only where there is none yet.
install -m 0644 "$QUILLAN_ROOT/examples/帮助.txt" "$DIST/帮助.txt"
if [ ! -e "$DIST/市镇县乡村劳动保障监察员联系方式.txt" ]; then
  install -m 0644 "$QUILLAN_ROOT/examples/市镇县乡村劳动保障监察员联系方式.txt" "$DIST/市镇县乡村劳动保障监察员联系方式.txt"
fi

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$DIST/quillan"
fi

echo "quillan: no display found; starting Quillan on a virtual display (Xvfb)."
shot="$QUILLAN_ROOT/dist/quillan-main-window.png"
display=":$(( 90 + RANDOM % 100 ))"
# Only this user's programs may use the display: a fresh cookie in a private
# authority file. -noreset: the server would otherwise reset when its last
# client leaves and drop the program's connection if that came in between.
XAUTHORITY="$(mktemp "${TMPDIR:-/tmp}/quillan-xauth.XXXXXX")"
export XAUTHORITY
xauth -f "$XAUTHORITY" add "$display" . "$(od -An -N16 -tx1 /dev/urandom | tr -d " \n")"
Xvfb "$display" -auth "$XAUTHORITY" -noreset -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
# The program ends first, then its display (not the other way round, which
# the program would report as a broken X11 connection).
app_pid=""
stop_virtual_display() {
  if [ -n "$app_pid" ]; then
    kill "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
  fi
  kill "$xvfb_pid" 2>/dev/null || true
  rm -f "$XAUTHORITY"
}
trap stop_virtual_display EXIT
for _ in $(seq 50); do
  DISPLAY="$display" xdpyinfo >/dev/null 2>&1 && break
  sleep 0.1
done
DISPLAY="$display" "$DIST/quillan" &
app_pid=$!
# Wait for the main window, then photograph it.
for _ in $(seq 100); do
  if DISPLAY="$display" xwininfo -root -tree 2>/dev/null | grep -q 'Quillan'; then
    break
  fi
  sleep 0.1
done
sleep 1.5
# The mapped main window: its line in the tree gives the geometry to cut out.
geometry=$(DISPLAY="$display" xwininfo -root -tree | grep 'Quillan' | grep -o '[0-9]\+x[0-9]\++-\?[0-9]\++-\?[0-9]\+' | sort -t x -k1 -n -r | head -n 1)
DISPLAY="$display" import -window root ${geometry:+-crop "$geometry"} "$shot"
echo "quillan: screenshot of the main window: $shot"
