#!/usr/bin/env bash
# The Debian package: built from the normal build/ (stage 10 built it),
# checked by lintian (errors fail, warnings are shown) and, unpacked, by the
# desktop's own validators. The extractor must be in Tarnwick's own folder,
# never /usr/bin/extract (Debian's `extract` package owns that path).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
deb=$("$root/scripts/package" "$root/build" | tail -n 1)
echo "package: $deb ($(du -k "$deb" | cut -f1) KB)"

# Errors fail; so does any other tag that is not overridden with a reason.
lintian_out=$(lintian -I --fail-on error "$deb" 2>/dev/null)
echo "$lintian_out"
if grep -q '^[EWI]: ' <<<"$lintian_out"; then
  echo "package: lintian has something to say"
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dpkg-deb -x "$deb" "$work"
id=io.github.tarnwick.Tarnwick
desktop-file-validate "$work/usr/share/applications/$id.desktop"
appstreamcli validate --no-net "$work/usr/share/metainfo/$id.metainfo.xml"
# The MIME package must be one the database accepts.
mkdir -p "$work/mime-check/packages"
cp "$work/usr/share/mime/packages/$id.xml" "$work/mime-check/packages/"
update-mime-database "$work/mime-check" >/dev/null 2>&1
grep -q 'application/x-starsiege-tribes-volume' "$work/mime-check/globs2"

fail=0
check() { if ! eval "$2"; then echo "package: $1"; fail=1; fi; }
check "no extractor at usr/libexec/tarnwick/extract" '[ -x "$work/usr/libexec/tarnwick/extract" ]'
check "something at usr/bin/extract" '[ ! -e "$work/usr/bin/extract" ] && [ ! -L "$work/usr/bin/extract" ]'
# Debian's `extract` package has /usr/share/man/man1/extract.1.gz.
check "a page at usr/share/man/man1/extract.1.gz" '[ ! -e "$work/usr/share/man/man1/extract.1.gz" ]'
for f in usr/bin/tarnwick usr/bin/tarnvol usr/share/man/man1/tarnwick.1.gz usr/share/man/man1/tarnvol.1.gz \
         usr/share/doc/tarnwick/copyright usr/share/doc/tarnwick/changelog.gz; do
  check "missing $f" '[ -f "$work/$f" ]'
done
for s in 16 22 24 32 48 64 128 256; do
  icon=$work/usr/share/icons/hicolor/${s}x${s}/apps/$id.png
  check "icon ${s}x${s} missing or of another size" \
    '[ "$(identify -format %wx%h "$icon" 2>/dev/null)" = "${s}x${s}" ]'
done
# The words: the description names every tarnvol command, and the manual page
# names the completion file where the package puts it.
description=$(dpkg-deb -f "$deb" Description)
for command in list info cat test extract pack add delete; do
  check "the description does not name tarnvol's $command" 'grep -qw "$command" <<<"$description"'
done
check "man tarnvol does not name its installed completion file" \
  'zcat "$work/usr/share/man/man1/tarnvol.1.gz" | grep -q "^\.I /usr/share/bash\\\\-completion/completions/tarnvol$"'
check "no completion file where man tarnvol says" '[ -f "$work/usr/share/bash-completion/completions/tarnvol" ]'
# The unpacked program answers on the terminal without a display.
check "tarnwick --version" '[ "$("$work/usr/bin/tarnwick" --version)" = "tarnwick $(sed -n "s/^project(Tarnwick VERSION \([0-9.]*\).*/\1/p" "$root/CMakeLists.txt")" ]'
[ $fail -eq 0 ] || exit 1
exec bash "$root/scripts/test.d/package-install-check" "$deb"
