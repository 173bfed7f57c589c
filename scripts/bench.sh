#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine, each in a scratch folder, and prints their figures.
#   bash scripts/bench.sh                 all of them
#   bash scripts/bench.sh startup 11      start to main window, Sonello against a bare dialog (11 runs)
#   bash scripts/bench.sh playlist        the player, the song-list store and window on lists of 10,000
#                                         and 200,000 songs
#   bash scripts/bench.sh playlist 200000 the same on one list size
#   bash scripts/bench.sh lrc             a 5,000-line lyric file and one band tick's lookups
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$ROOT/build}

names=("$@")
[ ${#names[@]} -gt 0 ] || names=(startup playlist lrc)
args=()
if [ ${#names[@]} -gt 1 ] && [[ ${names[1]} =~ ^[0-9]+$ ]]; then
    args=("${names[1]}")
    names=("${names[0]}")
fi
targets=()
for name in "${names[@]}"; do
    case "$name" in
    startup) targets+=(Sonello bench_baredialog bench_startup) ;;
    playlist) targets+=(Sonello bench_playlist) ;;
    lrc) targets+=(bench_lrc) ;;
    *)
        echo "bench: unknown benchmark $name (startup, playlist, lrc)" >&2
        exit 2
        ;;
    esac
done

bash "$ROOT/scripts/setup.sh"
bash "$ROOT/scripts/build.sh" "${targets[@]}"

SCRATCH=$(mktemp -d)
source "$ROOT/scripts/wine-env.sh"
trap 'sonello_env_stop; rm -rf "$SCRATCH"' EXIT
sonello_env_start
for name in "${names[@]}"; do
    echo "== $name"
    mkdir -p "$SCRATCH/$name"
    (cd "$SCRATCH/$name" && wine "$BUILD_DIR/bench_$name.exe" "${args[@]}")
done
