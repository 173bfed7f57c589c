// What the readers of one song file have found so far. A file may hold its names in more than
// one place (ID3v2 and ID3v1, an ID3v2 tag before a FLAC stream): the place read first wins.
#pragma once

#include <cstddef>
#include <string>

#include "tags/SongTags.h"

enum class TagField { None, Title, Artist, Album, Lyrics };

struct TagFields {
    SongTags tags;
    std::string strLyrics;  // UTF-8, as written

    std::string& Of(TagField field);
    bool Wants(TagField field);
    // Keeps the value without its outer white space, unless the field is known already.
    void Keep(TagField field, const std::string& strValue);
    // The largest value read for a field: a bigger one is a picture or damage, and is passed over.
    static size_t MaxSize(TagField field);
};
