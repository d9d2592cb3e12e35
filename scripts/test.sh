#!/usr/bin/env bash
# Builds everything and runs every test, from a fresh Debian 12 machine (run as root, or with sudo).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset debug
cmake --build --preset debug
# The tests run inside a private network namespace: servers and multicast stay on loopback.
bash scripts/netns-run ctest --preset debug -j2 --timeout 300
