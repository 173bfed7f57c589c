// What a song file says about itself: its names, for asking a lyrics service which song it is,
// and the lyrics kept inside it. The container is told by the file's bytes, not its extension.
// Texts are UTF-8; touches no window, and reads headers only, never the audio.
#pragma once

#include <string>

struct SongTags {
    std::string strTitle;  // empty when unknown
    std::string strArtist;
    std::string strAlbum;
};

// ID3v2.2/2.3/2.4 text frames (any of the four text encodings), then an ID3v1 tag for what they
// lack; a WAV's LIST/INFO chunk; the Vorbis comment of a FLAC or Ogg (Vorbis, Opus, FLAC) file;
// the ilst items of an MP4 file. Nothing for a file without them.
SongTags ReadSongTags(const wchar_t* pszPath);
// The tags, else a file name written "artist - title", else the name without its extension as
// the title.
SongTags DescribeSong(const wchar_t* pszPath);
// The unsynchronised lyrics kept inside the song, as written (LRC or plain text): an ID3v2 USLT
// (ULT) frame, a LYRICS or UNSYNCEDLYRICS comment, an MP4 ©lyr item. False when there are none.
bool ReadEmbeddedLyrics(const wchar_t* pszPath, std::string& strUtf8);
