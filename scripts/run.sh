#!/usr/bin/env bash
# Sets up the machine, builds the editor and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DTESSMARK_BENCHMARKS=OFF
cmake --build build --parallel "$(nproc)" --target tessmark
exec build/tessmark "$@"
