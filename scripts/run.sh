#!/usr/bin/env bash
# Builds the program and runs it on the bundled sample record.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh
cmake -S . -B build -G Ninja -DVELK_TESTS=OFF >/dev/null
cmake --build build
if [ -x build/app/ui/Velkarine ]; then
  exec build/app/ui/Velkarine "$@" data/sample-shot.sg2
else
  exec build/app/smoke/velkarine_smoke "$@"
fi
