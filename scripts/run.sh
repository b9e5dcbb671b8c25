#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Kenvora and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
exec build/bin/kenvora "$@"
