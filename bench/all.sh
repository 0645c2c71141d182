#!/usr/bin/env bash
# Runs every benchmark once, one after another, in one sitting, and prints
# their figures with the machine's load before and after each: the figures of
# docs/PERFORMANCE.md's summary table come from one such run, so they share
# one machine state. Installs what is missing, builds the plain tree `build/`,
# starts the PDF printer and a private PulseAudio server like the tests.
#
#   bash bench/all.sh [--soak] [output file]
#
# Without --soak the soak (about 15 minutes) is left out.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/common.sh"

soak=0
if [ "${1:-}" = "--soak" ]; then
  soak=1
  shift
fi
out="${1:-/dev/null}"

install_packages "${QUILLAN_RUN_PACKAGES[@]}" "${QUILLAN_TEST_PACKAGES[@]}"
as_root "$QUILLAN_ROOT/scripts/setup-printer.sh" >/dev/null
build_tree "$QUILLAN_ROOT/build" >/dev/null

scratch="$(mktemp -d)"
cleanup() {
  stop_pulseaudio
  rm -rf "$scratch"
}
trap cleanup EXIT
start_pulseaudio
export QT_QPA_PLATFORM=offscreen

# The program folder the start-up is measured on: the example office data.
mkdir -p "$scratch/program"
cp "$QUILLAN_ROOT/examples/Set.ini" "$scratch/program/Set.ini"

B="$QUILLAN_ROOT/build/bench"
status=0
bench() {
  local title="$1"
  shift
  echo
  echo "=== $title"
  echo "    load before: $(cut -d' ' -f1-3 /proc/loadavg)   $*"
  "$@" 2>&1 || { echo "    FAILED (exit $?)"; status=1; }
  echo "    load after:  $(cut -d' ' -f1-3 /proc/loadavg)"
}

exec > >(tee "$out") 2>&1
echo "quillan benchmarks, $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, $(uname -r)"
echo "LibreOffice: $(soffice --version 2>/dev/null | head -n 1)"
for i in 1 2 3; do
  bench "start-up and phrase lists, process $i of 3" "$B/startup/bench_startup" "$scratch/program" 21
done
bench "password check" "$B/security/bench_security" 11
bench "law texts in the panel" "$B/texts/bench_texts" 21
bench "word-processor engine (baseline: soffice --convert-to)" "$B/word/word_bench"
bench "save and print of a record (baseline: soffice --convert-to)" "$B/record/record_bench"
bench "inspection documents" "$B/library/library_bench" 7
bench "record exchange over FTP" "$B/exchange/exchange_bench"
bench "interview audio" env QUILLAN_BENCH_KEEP_SINK=1 "$B/audio/audio_bench" 60
bench "log of saved records" "$B/ledger/ledger_bench" 10000 512 "$QUILLAN_ROOT/build"
bench "finding a past record" "$B/record/find_bench" 5000
if [ "$soak" -eq 1 ]; then
  bench "soak" "$B/soak/soak_bench"
fi
echo
echo "quillan benchmarks: done, $(date -u '+%H:%M UTC')"

exit "$status"
