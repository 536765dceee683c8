#!/usr/bin/env bash
# Builds the libFuzzer targets of the M-Bus telegram decoders, the scan worker, the EDS
# connection decoder, the SCL reader, the EDE reader and the string grid's exchange
# readers (text layout, CSV, binary cell stream) with clang in
# build-fuzz/ (or FUZZ_BUILD_DIR) and fuzzes each one for a bounded time
# (FUZZ_SECONDS, default 60), starting from the seed corpus in fuzz/corpus/.
# Exits non-zero when a target crashes or a sanitizer reports; the input that
# did it is kept in the build folder's artifacts/.
set -u
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
build=${FUZZ_BUILD_DIR:-build-fuzz}
jobs=${FUZZ_JOBS:-$(nproc 2>/dev/null || echo 2)}

# clang and its libFuzzer runtime.
cxx=$(command -v clang++-14 || command -v clang++ || true)
fuzzer_lib=$(ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a 2>/dev/null | head -n1)
if [ -z "$cxx" ] || [ -z "$fuzzer_lib" ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "clang with libFuzzer is missing: sudo apt-get install -y clang-14 libclang-rt-14-dev" >&2
    exit 1
  fi
  echo "Installing clang-14 and libclang-rt-14-dev"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq || exit 1
  apt-get install -y -qq --no-install-recommends clang-14 libclang-rt-14-dev >/dev/null || exit 1
  cxx=$(command -v clang++-14 || command -v clang++)
fi

launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S fuzz -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER="$cxx" "${launcher[@]}" >/dev/null \
  || exit 1
cmake --build "$build" -j "$jobs" || exit 1

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# What system libraries (fontconfig under Qt's offscreen platform) keep until exit is no leak of ours.
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
mkdir -p "$build/artifacts"
status=0
for target in wired wireless scan eds_import scl ede grid_exchange; do
  # New inputs go to a working corpus; the seeds in the repository stay as they are.
  work=$build/corpus/$target
  mkdir -p "$work"
  echo "fuzz_$target: ${seconds}s"
  if ! "$build/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="$build/artifacts/$target-" -print_final_stats=1 \
       "$work" "fuzz/corpus/$target" >"$build/fuzz_$target.log" 2>&1; then
    echo "fuzz_$target FAILED (see $build/fuzz_$target.log)" >&2
    tail -n 40 "$build/fuzz_$target.log" >&2
    status=1
  else
    grep -E "^stat::number_of_executed_units|^Done" "$build/fuzz_$target.log" || true
  fi
done
exit $status
