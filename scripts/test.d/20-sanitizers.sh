#!/usr/bin/env bash
# The same suite again under AddressSanitizer and UBSan (the `asan` preset:
# core, tools and their tests; the Qt windows stay in the normal build).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
cmake --preset asan -DTARNWICK_WERROR=ON >/dev/null
cmake --build --preset asan -j "$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd "$root/build-asan"
ctest --output-on-failure -j "$(nproc)"
