#!/usr/bin/env bash
# Every fuzz target for a short while: a crash found here becomes a test.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
exec "$root/scripts/fuzz" --seconds "${TARNWICK_FUZZ_SECONDS:-20}"
