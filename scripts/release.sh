#!/usr/bin/env bash
# Installs what is missing and builds what a Windows user downloads, into build/release (or
# $BUILD_DIR/release): the stripped Sonello.exe, the installer Sonello-<version>-setup.exe, the
# portable archive Sonello-<version>-portable.zip, and SHA256SUMS. Prints their sizes; fails when
# the player or the installer reaches 1 MB.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
RELEASE="$BUILD_DIR/release"
LIMIT=$((1024 * 1024))

bash "$ROOT/scripts/setup.sh"
if ! command -v makensis >/dev/null; then
    echo "release: makensis is missing (Debian's nsis package)" >&2
    exit 1
fi
# Nothing left over from an earlier version.
rm -rf "$RELEASE"
# A build folder configured before the release target existed learns of it.
[ ! -f "$BUILD_DIR/CMakeCache.txt" ] || cmake "$BUILD_DIR" >/dev/null
bash "$ROOT/scripts/build.sh" release

cd "$RELEASE"
files=(Sonello.exe Sonello-*-setup.exe Sonello-*-portable.zip)
sha256sum "${files[@]}" >SHA256SUMS
status=0
for f in "${files[@]}"; do
    size=$(stat -c %s "$f")
    note=""
    case "$f" in
    Sonello.exe | *-setup.exe)
        note="(limit 1 MB)"
        if [ "$size" -ge "$LIMIT" ]; then
            note="(over the 1 MB limit)"
            status=1
        fi
        ;;
    esac
    tenths=$((size * 10 / 1024))
    printf '%-34s %9d bytes %6d.%d KB %s\n' "$f" "$size" $((tenths / 10)) $((tenths % 10)) "$note"
done
echo "in $RELEASE, with SHA256SUMS"
exit $status
