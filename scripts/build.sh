#!/usr/bin/env bash
# Configures and builds Kenvora (release) in ./build. Extra arguments go to cmake --build.
# KENVORA_WERROR=OFF builds without treating warnings as errors.
set -euo pipefail
cd "$(dirname "$0")/.."
# Paths relative to the checkout, so clones and worktrees share one compiler cache.
export CCACHE_BASEDIR="$PWD"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DKENVORA_WERROR="${KENVORA_WERROR:-ON}" >/dev/null
cmake --build build -j2 "$@"
