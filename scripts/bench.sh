#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine, each in a scratch folder, and prints their figures.
#   bash scripts/bench.sh                 all of them
#   bash scripts/bench.sh startup 11      start to main window: a bare dialog, the platform's floor and
#                                         Sonello, alternating (11 runs each), then Sonello's own steps
#   bash scripts/bench.sh startup 15 old/Sonello.exe   the same with a saved build in the rotation
#   bash scripts/bench.sh playlist        the player, the song-list store and window on lists of 10,000
#                                         and 200,000 songs
#   bash scripts/bench.sh playlist 200000 the same on one list size
#   bash scripts/bench.sh lrc             a 5,000-line lyric file and one band tick's lookups
#   bash scripts/bench.sh tags            the embedded lyrics of large M4A, MP3, Ogg and FLAC files
#   bash scripts/bench.sh install 3       silent install and first start, each in a fresh Wine prefix (3 runs)
#   bash scripts/bench.sh formats 2 20    one song as WAV (MCI), FLAC, M4A and Opus (Media Foundation) in the
#                                         player with the band shown: CPU per minute of music (2 rounds of
#                                         20 s each) and double-click to sound; then open and play in-process
#   bash scripts/bench.sh band 3          the lyric band on a word-timed song, a WAV and an MP3: over a
#                                         minute, how often its red edge moves and how far it stands from
#                                         the device position (sampled in the player's process every 10 ms);
#                                         then the CPU of the player, band shown, shown with nothing to fill
#                                         and hidden, beside a bare MCI player (3 alternating rounds of 30 s)
#   bash scripts/bench.sh --no-shaping band 3   the same with Wine's X11 driver told not to cut layered
#                                         windows to the shape of their pixels (ShapeLayeredWindows = N),
#                                         much as Windows' compositor shows them
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$ROOT/build}

shaping=yes
names=()
for arg in "$@"; do
    if [ "$arg" = --no-shaping ]; then shaping=no; else names+=("$arg"); fi
done
[ ${#names[@]} -gt 0 ] || names=(startup playlist lrc tags install formats band)
args=()
if [ ${#names[@]} -gt 1 ] && [[ ${names[1]} =~ ^[0-9]+$ ]] && [ "${names[0]}" = formats ]; then
    args=("${names[@]:1}")
    names=(formats)
elif [ ${#names[@]} -gt 1 ] && [[ ${names[1]} =~ ^[0-9]+$ ]]; then
    args=("${names[1]}")
    # More programs for the start-up rotation, as Wine sees them (drive Z: is the root).
    for program in "${names[@]:2}"; do
        program=$(realpath "$program")
        args+=("Z:${program//\//\\}")
    done
    names=("${names[0]}")
fi
targets=(sonello_release_probe) # holds Wine's desktop (wine-env.sh)
for name in "${names[@]}"; do
    case "$name" in
    startup) targets+=(Sonello bench_baredialog bench_floordialog bench_startup) ;;
    playlist) targets+=(Sonello bench_playlist) ;;
    lrc) targets+=(bench_lrc) ;;
    tags) targets+=(bench_tags) ;;
    install) targets+=(release sonello_driver) ;;
    formats) targets+=(Sonello sonello_driver bench_formats test_audio) ;;
    band) targets+=(Sonello sonello_driver bench_band bench_baremci) ;;
    *)
        echo "bench: unknown benchmark $name (startup, playlist, lrc, tags, install, formats, band)" >&2
        exit 2
        ;;
    esac
done

bash "$ROOT/scripts/setup.sh"
bash "$ROOT/scripts/build.sh" "${targets[@]}"

SCRATCH=$(mktemp -d)
source "$ROOT/scripts/wine-env.sh"
shaping_key='HKCU\Software\Wine\X11 Driver'
unshape() { [ $shaping = yes ] || wine reg delete "$shaping_key" /v ShapeLayeredWindows /f >/dev/null 2>&1 </dev/null || true; }
trap 'unshape; sonello_env_stop; rm -rf "$SCRATCH"' EXIT
sonello_env_start
if [ $shaping = no ]; then
    # Read by each program's X11 driver as it starts.
    wine reg add "$shaping_key" /v ShapeLayeredWindows /d N /f >/dev/null 2>&1 </dev/null
    echo "== layered windows not shaped (ShapeLayeredWindows = N)"
fi
for name in "${names[@]}"; do
    # Other builds on the machine move the figures: say how busy it was.
    echo "== $name (load average $(cut -d' ' -f1-3 /proc/loadavg))"
    mkdir -p "$SCRATCH/$name"
    if [ "$name" = install ]; then
        /usr/bin/python3 "$ROOT/tests/bench/install.py" --release "$BUILD_DIR/release" \
            --driver "$BUILD_DIR/sonello_driver.exe" --probe "$BUILD_DIR/tests/sonello_release_probe.exe" \
            --work "$SCRATCH/$name" "${args[@]}"
    elif [ "$name" = formats ]; then
        /usr/bin/python3 "$ROOT/tests/bench/formats.py" --player "$BUILD_DIR/Sonello.exe" \
            --driver "$BUILD_DIR/sonello_driver.exe" --work "$SCRATCH/$name" "${args[@]}"
        (cd "$SCRATCH/$name" && /usr/bin/python3 "$ROOT/scripts/wine_run.py" "$BUILD_DIR/bench_formats.exe" \
            "Z:${BUILD_DIR//\//\\}\\testdata\\stream")
    elif [ "$name" = band ]; then
        /usr/bin/python3 "$ROOT/tests/bench/band.py" --build "$BUILD_DIR" --work "$SCRATCH/$name" "${args[@]}"
    else
        (cd "$SCRATCH/$name" && /usr/bin/python3 "$ROOT/scripts/wine_run.py" "$BUILD_DIR/bench_$name.exe" "${args[@]}")
    fi
    echo "   (load average afterwards $(cut -d' ' -f1-3 /proc/loadavg))"
done
