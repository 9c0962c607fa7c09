#!/usr/bin/env bash
# Kamishibai: installs what is missing, builds in Release and starts the demo saver.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DKAMISHIBAI_TESTS=OFF -DKAMISHIBAI_BENCH=OFF
cmake --build build
exec build/kamishibai.scr /S
