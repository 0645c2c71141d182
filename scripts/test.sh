#!/usr/bin/env bash
# Installs what is missing, builds, starts the services the tests need and
# runs every test through CTest; then the unit tests once more under the
# address and undefined-behaviour sanitizers. Exits non-zero on any failure.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_packages "${QUILLAN_RUN_PACKAGES[@]}" \
  googletest libgtest-dev antiword catdoc poppler-utils python3 \
  cups cups-client printer-driver-cups-pdf \
  python3-pyftpdlib pulseaudio pulseaudio-utils espeak-ng sox \
  xvfb xauth xdotool imagemagick

if [ -x "$QUILLAN_ROOT/scripts/setup-printer.sh" ]; then
  as_root "$QUILLAN_ROOT/scripts/setup-printer.sh"
fi

# A private PulseAudio server for the audio tests, stopped by its process id
# when this script ends. It is a per-run daemon with its own runtime folder
# and HOME, started with -n (no default configuration) and only the modules
# loaded here: the native protocol on a socket in that folder, a null sink
# the tests play into, and a remap source over the sink's monitor as the
# default input (Qt Multimedia does not list monitor sources among the
# inputs, so with the bare monitor a correct program finds no microphone).
# As root PulseAudio only warns when not in --system mode; --system would
# need the pulse user and a system-wide socket shared with everyone.
start_pulseaudio() {
  PULSE_DIR="$(mktemp -d /tmp/quillan-pulse.XXXXXX)"
  mkdir -p "$PULSE_DIR/home"
  HOME="$PULSE_DIR/home" XDG_RUNTIME_DIR="$PULSE_DIR" pulseaudio --daemonize=no -n \
    --exit-idle-time=-1 --use-pid-file=no --disable-shm=yes \
    -L "module-native-protocol-unix socket=$PULSE_DIR/native auth-anonymous=1" \
    -L "module-null-sink sink_name=quillan_sink" \
    -L "module-remap-source source_name=quillan_mic master=quillan_sink.monitor" \
    >"$PULSE_DIR/log" 2>&1 &
  PULSE_PID=$!
  export PULSE_SERVER="unix:$PULSE_DIR/native"
  local i
  for i in $(seq 50); do
    if pactl info >/dev/null 2>&1; then
      pactl set-default-sink quillan_sink
      pactl set-default-source quillan_mic
      return 0
    fi
    sleep 0.2
  done
  echo "quillan: PulseAudio did not start:" >&2
  cat "$PULSE_DIR/log" >&2
  return 1
}
stop_pulseaudio() {
  if [ -n "${PULSE_PID:-}" ]; then
    kill "$PULSE_PID" 2>/dev/null || true
    wait "$PULSE_PID" 2>/dev/null || true
  fi
  if [ -n "${PULSE_DIR:-}" ]; then
    rm -rf "$PULSE_DIR"
  fi
}
trap stop_pulseaudio EXIT
# Without it the audio tests fail and say that the server is missing.
start_pulseaudio || true

export QT_QPA_PLATFORM=offscreen
status=0

build_tree "$QUILLAN_ROOT/build" -DQUILLAN_WERROR=ON
ctest --test-dir "$QUILLAN_ROOT/build" --output-on-failure -j 2 --timeout 900 || status=1

build_tree "$QUILLAN_ROOT/build-sanitize" -DQUILLAN_SANITIZE=ON -DQUILLAN_WERROR=ON
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$QUILLAN_ROOT/build-sanitize" -L unit --output-on-failure -j 2 --timeout 900 || status=1

exit "$status"
