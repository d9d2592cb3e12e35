#!/usr/bin/env bash
# Builds the program and starts it, from a fresh Debian 12 machine (run as root, or with sudo).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset release
cmake --build --preset release --target mumian
exec build/release/src/app/mumian
