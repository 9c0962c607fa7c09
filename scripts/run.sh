#!/usr/bin/env bash
# Kamishibai: installs what is missing, builds in Release and starts the demo saver.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset player
cmake --build --preset player
exec build/kamishibai.scr /S
