#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer in
# build-test/ and runs the tests offscreen.
set -u
cd "$(dirname "$0")"
source scripts/deps.sh
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DCONFIGURATOR_TESTS=ON -DCONFIGURATOR_SANITIZE=ON \
  "${launcher[@]}" >/dev/null || exit 1
cmake --build build-test -j "$jobs" || exit 1
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
(cd build-test && ctest --output-on-failure -j "$jobs")
tests=$?
# The telegram decoders take input from the network: fuzz them for a bounded time.
FUZZ_SECONDS=${FUZZ_SECONDS:-30} fuzz/run.sh
fuzz=$?
[ $tests -eq 0 ] && [ $fuzz -eq 0 ]
