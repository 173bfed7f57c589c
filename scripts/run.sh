#!/usr/bin/env bash
# Installs what is missing, builds, and starts the player under Wine.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$ROOT/build}

bash "$ROOT/scripts/setup.sh"
bash "$ROOT/scripts/build.sh"

source "$ROOT/scripts/wine-env.sh"
trap sonello_env_stop EXIT
sonello_env_start
wine "$BUILD_DIR/Sonello.exe"
