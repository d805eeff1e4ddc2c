#!/usr/bin/env bash
# Every fuzz target for a short while (10 s each keeps the whole CI run well
# under its 20 minutes; longer runs: TARNWICK_FUZZ_SECONDS or scripts/fuzz).
# A crash found here becomes a test.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
exec "$root/scripts/fuzz" --seconds "${TARNWICK_FUZZ_SECONDS:-10}"
