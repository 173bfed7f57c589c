#!/usr/bin/env bash
# Makes a one-second song of each container with its names set by the tools that write them:
# sox and metaflac (FLAC, its lyrics from a file), sox (Ogg Vorbis), GStreamer (M4A, whose moov
# it writes after the audio, and Opus). Usage: make_tagged.sh <out dir> <lyrics file>
set -euo pipefail
out=$1
lyrics=$2
mkdir -p "$out"
cd "$out"

sox -n -r 44100 -c 2 -b 16 tagged.flac synth 1 sine 440 vol 0.3
metaflac --remove-all-tags --set-tag=TITLE=灯塔 --set-tag=ARTIST=夜航 --set-tag=ALBUM=海边 \
    --set-tag-from-file="LYRICS=$lyrics" tagged.flac

sox -n --comment "title=灯塔" --add-comment "Artist=夜航" --add-comment "ALBUM=海边" \
    --add-comment "unsyncedlyrics=[00:00.50]灯塔在海边" -r 44100 -c 2 tagged.ogg synth 1 sine 440 vol 0.3

# taginject before the encoders: placed after them, its tags never reach the muxers.
tags='title="灯塔",artist="夜航",album="海边",lyrics="[00:00.50]灯塔在海边"'
gst-launch-1.0 -q audiotestsrc num-buffers=43 ! taginject "tags=$tags" ! audioconvert ! avenc_aac ! mp4mux \
    ! filesink location=tagged.m4a
gst-launch-1.0 -q audiotestsrc num-buffers=43 ! taginject "tags=$tags" ! audioconvert ! audioresample ! opusenc \
    ! oggmux ! filesink location=tagged.opus
