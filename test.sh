#!/usr/bin/env bash
# Builds everything and runs the whole test suite.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
source "$root/tools/setup.sh"
cd "$root/build"
ctest --output-on-failure -j "$(nproc)" --timeout 600
