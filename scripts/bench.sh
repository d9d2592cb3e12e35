#!/usr/bin/env bash
# Builds the release preset and runs every benchmark inside the private network namespace.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset release
cmake --build --preset release
for b in build/release/bench/*_bench; do
  bash scripts/netns-run "$b"
done
