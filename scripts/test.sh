#!/usr/bin/env bash
# Installs what is missing, starts the services the tests need, checks the
# format of the sources, builds with the address and undefined-behaviour
# sanitizers, runs clang-tidy over the program's sources and every test
# through CTest in that build (the unit tests with the leak check); then
# builds the fuzz targets and runs each for a minute. Exits non-zero on any
# failure, clang-tidy finding, sanitizer report or fuzzer finding.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_packages "${QUILLAN_RUN_PACKAGES[@]}" "${QUILLAN_TEST_PACKAGES[@]}"

if [ -x "$QUILLAN_ROOT/scripts/setup-printer.sh" ]; then
  as_root "$QUILLAN_ROOT/scripts/setup-printer.sh"
fi

FUZZ_SCRATCH=""
cleanup() {
  stop_pulseaudio
  if [ -n "$FUZZ_SCRATCH" ]; then
    rm -rf "$FUZZ_SCRATCH"
  fi
}
trap cleanup EXIT
# Without it the audio tests fail and say that the server is missing.
start_pulseaudio || true

export QT_QPA_PLATFORM=offscreen
status=0

# The house style (.clang-format) holds for every source file.
mapfile -t SOURCES < <(cd "$QUILLAN_ROOT" && find app audio exchange ledger library platform record security \
  settings word tests bench fuzz \( -name '*.cpp' -o -name '*.h' \) | sort)
if ! (cd "$QUILLAN_ROOT" && clang-format --dry-run -Werror "${SOURCES[@]}"); then
  echo "quillan: source files not formatted as .clang-format says (clang-format -i fixes them)" >&2
  status=1
fi
# Only the layout tables, the form binding and the record's field table know
# which control holds what.
if ! python3 "$QUILLAN_ROOT/scripts/check-unit-names.py"; then
  echo "quillan: control names in code outside the layout and the form binding" >&2
  status=1
fi

# One run of the whole suite, in the sanitizer build. The test programs carry
# their sanitizer settings (tests/support/SanitizerOptions.cpp, leak check
# on); CTest switches the leak check off for the end-to-end tests, which load
# the LibreOffice libraries into the test process (tests/CMakeLists.txt). A
# second, plain run would not fit in the time CI has (docs/PERFORMANCE.md,
# "Test suite").
build_tree "$QUILLAN_ROOT/build-sanitize" -DQUILLAN_SANITIZE=ON -DQUILLAN_WERROR=ON
ctest --test-dir "$QUILLAN_ROOT/build-sanitize" --output-on-failure -j 2 --timeout 900 || status=1

# clang-tidy (.clang-tidy) over the program's own sources, with that build's
# compilation database and generated headers: no finding may be left.
check_clang_tidy "$QUILLAN_ROOT/build-sanitize" || status=1

# The fuzz targets (clang, libFuzzer), each for 60 seconds on a copy of its
# committed corpus, two at a time (one a core). A crash, sanitizer report,
# leak, hang (10 s for one input) or growth beyond 2 GB fails the run; the
# input that did it is kept in build-fuzz/findings/ to reproduce it with
# build-fuzz/fuzz/fuzz_<target> <input>.
FUZZ_TARGETS=(profile_ini text registry_store template_file wav_recorder record_log wav_reader)
FUZZ_DIR="$QUILLAN_ROOT/build-fuzz"
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  FUZZ_SCRATCH="$(mktemp -d /dev/shm/quillan-fuzz-run.XXXXXX)"
else
  FUZZ_SCRATCH="$(mktemp -d)"
fi
fuzz_target() {
  local name="$1" work="$FUZZ_SCRATCH/$1"
  mkdir -p "$work"
  cp -r "$QUILLAN_ROOT/fuzz/corpus/$name" "$work/corpus"
  "$FUZZ_DIR/fuzz/fuzz_$name" -max_total_time=60 -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$work/" "$work/corpus" >"$work/log" 2>&1
}
fuzz_report() {
  local name="$1" rc="$2" work="$FUZZ_SCRATCH/$1" found
  if [ "$rc" -eq 0 ]; then
    echo "quillan: fuzz_$name: no finding ($(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$work/log" | grep -o '[0-9]*$') inputs)"
    return 0
  fi
  echo "quillan: fuzz_$name failed (exit $rc):" >&2
  tail -n 60 "$work/log" >&2
  mkdir -p "$FUZZ_DIR/findings"
  for found in "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-* "$work"/slow-unit-*; do
    if [ -e "$found" ]; then
      cp "$found" "$FUZZ_DIR/findings/$name-$(basename "$found")"
      echo "quillan: input kept in $FUZZ_DIR/findings/$name-$(basename "$found")" >&2
    fi
  done
  return 1
}
if cmake -S "$QUILLAN_ROOT" -B "$FUZZ_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
     -DQUILLAN_FUZZ=ON -DQUILLAN_BUILD_TESTS=OFF -DQUILLAN_WERROR=ON >/dev/null &&
   cmake --build "$FUZZ_DIR" --target fuzz_targets -j "$(nproc)"; then
  i=0
  while [ "$i" -lt "${#FUZZ_TARGETS[@]}" ]; do
    batch=("${FUZZ_TARGETS[@]:$i:2}")
    pids=()
    for name in "${batch[@]}"; do
      fuzz_target "$name" &
      pids+=("$!")
    done
    for j in "${!batch[@]}"; do
      rc=0
      wait "${pids[$j]}" || rc=$?
      fuzz_report "${batch[$j]}" "$rc" || status=1
    done
    i=$((i + 2))
  done
else
  echo "quillan: the fuzz targets did not build" >&2
  status=1
fi

exit "$status"
