#!/usr/bin/env bash
# Sets up, builds and runs every test: once in a normal build, once under AddressSanitizer
# and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup
unset QT_QPA_PLATFORMTHEME
./scripts/check-format

./scripts/build build
ctest --test-dir build --output-on-failure --timeout 600

./scripts/build build-sanitize -DRIFFSCOPE_SANITIZE=ON -DRIFFSCOPE_BENCH=OFF
ASAN_OPTIONS="detect_leaks=1:abort_on_error=0" \
LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0" \
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
  ctest --test-dir build-sanitize --output-on-failure --timeout 1200
