#!/usr/bin/env bash
# Builds Kenvora with AddressSanitizer and UndefinedBehaviorSanitizer in ./build-asan and runs
# the whole test suite there (desktop tests included). Debug, so Q_ASSERTs are on too.
# Extra arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
export CCACHE_BASEDIR="$PWD"
flags="-O1 -g -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
# The sanitizers' instrumentation makes GCC's maybe-uninitialized analysis report false
# positives (in std::variant, for one); every other warning stays an error.
flags="$flags -Wno-maybe-uninitialized"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKENVORA_WERROR=ON \
  -DKENVORA_BUILD_BENCH=OFF \
  -DCMAKE_C_FLAGS_DEBUG="$flags" -DCMAKE_CXX_FLAGS_DEBUG="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build build-asan -j2
# Leaks are not checked: Qt's and fontconfig's caches live until exit and would drown real ones.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd build-asan
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 "$@"
