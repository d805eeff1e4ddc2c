#!/usr/bin/env bash
# The Windows installer's round trip under Wine: install, start, associate,
# uninstall.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
exec "$root/scripts/wine-installer-test" "$root/build-win"
