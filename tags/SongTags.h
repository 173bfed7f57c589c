// What a song file says about itself, for asking a lyrics service which song it is: the tags
// of MP3 and WAV files, else the file's name. Texts are UTF-8; touches no window.
#pragma once

#include <string>

struct SongTags {
    std::string strTitle;  // empty when unknown
    std::string strArtist;
    std::string strAlbum;
};

// ID3v2.3/2.4 text frames TIT2, TPE1, TALB (any of the four text encodings), then an ID3v1 tag
// for what they lack; a WAV's LIST/INFO chunk (INAM, IART, IPRD). Nothing for a file without them.
SongTags ReadSongTags(const wchar_t* pszPath);
// The tags, else a file name written "artist - title", else the name without its extension as
// the title.
SongTags DescribeSong(const wchar_t* pszPath);
// Bytes written without saying their encoding (ID3v1, ID3v2 encoding 0, RIFF INFO): UTF-8 when
// they are that, else GBK when they are that (Chinese taggers write it), else ISO-8859-1.
std::string LegacyTextToUtf8(const std::string& bytes);
