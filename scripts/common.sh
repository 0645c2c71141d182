# Shared by the run and test commands: package installation and the build.
# Sourced, not run.

QUILLAN_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Packages the program needs to build and run.
QUILLAN_RUN_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl-dev qt6-translations-l10n
  libreoffice-writer-nogui libreoffice-calc-nogui libreoffice-dev libreoffice-dev-common
  libcups2-dev fonts-noto-cjk xdg-utils
  libcurl4-openssl-dev
  libssl-dev
  qt6-multimedia-dev libqt6multimedia6 libpulse0
)

# Packages the tests and benchmarks need besides: the readers that check the
# documents, the print, sound and FTP services, the virtual display and the
# fuzzing toolchain and the static checks.
QUILLAN_TEST_PACKAGES=(
  googletest libgtest-dev antiword catdoc poppler-utils python3
  cups cups-client printer-driver-cups-pdf
  python3-pyftpdlib pulseaudio pulseaudio-utils espeak-ng sox
  xvfb xauth xdotool imagemagick strace vsftpd openssl
  clang libclang-rt-14-dev llvm clang-format clang-tidy
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null 2>&1; then
    sudo "$@"
  else
    echo "quillan: need root (or sudo) to run: $*" >&2
    return 1
  fi
}

# Installs whichever of the given packages are missing; nothing when all are there.
install_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  if [ "${#missing[@]}" -eq 0 ]; then
    return 0
  fi
  echo "quillan: installing ${missing[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# build_tree <folder> [cmake options...]: configures (quick when nothing
# changed) and builds incrementally.
build_tree() {
  local dir="$1"
  shift
  cmake -S "$QUILLAN_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
}

# The folders of the program's own sources (tests, benchmarks and fuzz
# targets aside).
QUILLAN_PROGRAM_FOLDERS=(app audio exchange ledger library platform record security settings word)

# check_clang_tidy <build folder>: clang-tidy (.clang-tidy) over every source
# file of the program folders and the headers they include from there, two
# at a time, with the build's compilation database; run it after the build,
# whose generated headers it reads. Any finding fails. Says how long it
# took; on failure prints what clang-tidy said and returns 1.
check_clang_tidy() {
  local build="$1" log folders expected processed found rc=0 failed=0
  local started="$SECONDS"
  folders="$(IFS='|' && echo "${QUILLAN_PROGRAM_FOLDERS[*]}")"
  log="$(mktemp)"
  run-clang-tidy -quiet -j 2 -p "$build" "^$QUILLAN_ROOT/($folders)/" 2>&1 | sed 's/\x1b\[[0-9;]*m//g' >"$log" || rc=$?
  expected="$(cd "$QUILLAN_ROOT" && find "${QUILLAN_PROGRAM_FOLDERS[@]}" -name '*.cpp' | wc -l)"
  processed="$(grep -c '^clang-tidy' "$log" || true)"
  # One "file:line: check" per finding, the file relative to the source root.
  found="$(grep -E '^[^ ]+:[0-9]+:[0-9]+: (warning|error): .*\[[^]]+\]$' "$log" |
    sed -E "s|^$QUILLAN_ROOT/||; s/^([^:]+:[0-9]+):[0-9]+: (warning|error): .*\[([^],]+)(,-warnings-as-errors)?\]\$/\1: \3/" |
    LC_ALL=C sort -u || true)"
  local problems=""
  if [ "$processed" -ne "$expected" ]; then
    problems+=$'\n'"clang-tidy looked at $processed source files of the program, not all $expected (is $build built?)"
  fi
  if grep -qE 'Stack dump|PLEASE submit a bug report|terminated by signal' "$log"; then
    problems+=$'\n'"clang-tidy crashed"
  fi
  if [ "$rc" -ne 0 ] && [ -z "$found" ]; then
    problems+=$'\n'"run-clang-tidy failed (exit $rc) without a finding"
  fi
  if [ -n "$found" ]; then
    problems+=$'\n'"findings:"$'\n'"$(echo "$found" | sed 's/^/  /')"
  fi
  if [ -n "$problems" ]; then
    grep -vE '^[0-9]+ warnings? (generated|treated as errors)|^Suppressed [0-9]+ warnings|^Use -header-filter|^clang-tidy' \
      "$log" >&2 || true
    echo "quillan: clang-tidy over $processed files ($((SECONDS - started)) s):$problems" >&2
    failed=1
  else
    echo "quillan: clang-tidy over $processed files ($((SECONDS - started)) s): no finding"
  fi
  rm -f "$log"
  return "$failed"
}

# A private PulseAudio server for the audio tests and benchmarks, stopped by
# its process id (stop_pulseaudio). It is a per-run daemon with its own runtime folder
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
