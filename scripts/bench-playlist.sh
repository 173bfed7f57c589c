#!/usr/bin/env bash
# Builds and times the song-list store and window on a 10,000-song list under Wine.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$ROOT/build}

bash "$ROOT/scripts/setup.sh"
bash "$ROOT/scripts/build.sh" bench_playlist

SCRATCH=$(mktemp -d)
source "$ROOT/scripts/wine-env.sh"
trap 'sonello_env_stop; rm -rf "$SCRATCH"' EXIT
sonello_env_start
# The first process of a session starts Wine's services; keep that out of the figures.
wine cmd /c exit >/dev/null 2>&1 </dev/null || true
cd "$SCRATCH"
wine "$BUILD_DIR/bench_playlist.exe"
