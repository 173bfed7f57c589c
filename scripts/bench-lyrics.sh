#!/usr/bin/env bash
# Builds and times the lyric timeline on a 5,000-line LRC file, and one band tick, under Wine.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$ROOT/build}

bash "$ROOT/scripts/setup.sh"
bash "$ROOT/scripts/build.sh" bench_lrc

SCRATCH=$(mktemp -d)
source "$ROOT/scripts/wine-env.sh"
trap 'sonello_env_stop; rm -rf "$SCRATCH"' EXIT
sonello_env_start
# The first process of a session starts Wine's services; keep that out of the figures.
wine cmd /c exit >/dev/null 2>&1 </dev/null || true
cd "$SCRATCH"
wine "$BUILD_DIR/bench_lrc.exe"
