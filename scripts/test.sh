#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Kenvora and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# Warnings are errors here (and so in CI), never in the builds users make.
KENVORA_WERROR=ON scripts/build.sh
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 "$@"
