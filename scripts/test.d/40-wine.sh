#!/usr/bin/env bash
# The Windows build of the core and its tests, run under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
TARNWICK_WERROR=ON exec "$root/scripts/wine-test" "$root/build-win"
