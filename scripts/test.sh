#!/usr/bin/env bash
# Installs what is missing, builds, starts the services the tests need and
# runs every test through CTest; then the unit tests once more under the
# address and undefined-behaviour sanitizers. Exits non-zero on any failure.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_packages "${QUILLAN_RUN_PACKAGES[@]}" \
  googletest libgtest-dev antiword catdoc poppler-utils python3 \
  cups cups-client printer-driver-cups-pdf \
  python3-pyftpdlib

if [ -x "$QUILLAN_ROOT/scripts/setup-printer.sh" ]; then
  as_root "$QUILLAN_ROOT/scripts/setup-printer.sh"
fi

export QT_QPA_PLATFORM=offscreen
status=0

build_tree "$QUILLAN_ROOT/build" -DQUILLAN_WERROR=ON
ctest --test-dir "$QUILLAN_ROOT/build" --output-on-failure -j 2 --timeout 900 || status=1

build_tree "$QUILLAN_ROOT/build-sanitize" -DQUILLAN_SANITIZE=ON -DQUILLAN_WERROR=ON
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$QUILLAN_ROOT/build-sanitize" -L unit --output-on-failure -j 2 --timeout 900 || status=1

exit "$status"
