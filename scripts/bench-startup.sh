#!/usr/bin/env bash
# Times Sonello.exe from process start to its main window shown, against a bare dialog
# program built the same way, under Wine.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$ROOT/build}

bash "$ROOT/scripts/setup.sh"
bash "$ROOT/scripts/build.sh" Sonello bench_baredialog bench_startup

SCRATCH=$(mktemp -d)
source "$ROOT/scripts/wine-env.sh"
trap 'sonello_env_stop; rm -rf "$SCRATCH"' EXIT
sonello_env_start
cd "$SCRATCH"
wine "$BUILD_DIR/bench_startup.exe" "${1:-7}"
