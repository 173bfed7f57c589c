// What the readers of one song file have found so far. A file may hold its names in more than
// one place (ID3v2 and ID3v1, an ID3v2 tag before a FLAC stream): the place read first wins.
#pragma once

#include <cstdint>
#include <string>

#include "tags/SongTags.h"

enum class TagField { None, Title, Artist, Album, Lyrics };

struct TagFields {
    SongTags tags;
    std::string strLyrics;    // UTF-8, as written
    bool bNamesOnly = false;  // when only the names are asked for: lyrics are passed over unread

    std::string& Of(TagField field);
    bool Wants(TagField field);
    // Wants a value of nSize bytes for the field: a bigger one than a field takes is a picture or
    // damage, and is passed over.
    bool Wants(TagField field, uint64_t nSize);
    // Keeps the value without its outer white space, unless the field is known already.
    void Keep(TagField field, const std::string& strValue);
};
