#!/usr/bin/env bash
# Names dragged out of the contents list with the real mouse, on an X server
# with a window manager, onto a folder view that speaks the direct-save
# protocol and onto one that takes only a file list (stage 10 builds the
# programs).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
exec bash "$root/scripts/test.d/drag-out-check" "$root/build"
