// A Vorbis comment, the tag of FLAC, Ogg Vorbis and Opus files: a vendor string, then fields
// written NAME=value in UTF-8, the names in any case. TITLE, ARTIST, ALBUM, and LYRICS or
// UNSYNCEDLYRICS are kept; other fields (a picture in METADATA_BLOCK_PICTURE) are skipped unread.
#pragma once

#include "tags/CTagStream.h"
#include "tags/TagFields.h"

// Reads the comment from where the stream stands; stops at the first field that runs past it.
void ReadVorbisComment(CTagStream& stream, TagFields& fields);
