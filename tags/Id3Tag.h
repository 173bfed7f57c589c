// ID3 tags, as MP3 files (and some FLAC files) carry them: the names and the unsynchronised
// lyrics (USLT, ULT in 2.2) of an ID3v2 tag, and the names of an ID3v1 tag at the file's end.
#pragma once

#include <cstdint>

#include "tags/CTagFile.h"
#include "tags/TagFields.h"

// Reads the ID3v2 tag (2.2, 2.3 or 2.4) whose header starts at nStart, seeking over the frames
// it does not need. Returns the offset just past the tag, 0 when there is none there.
uint64_t ReadId3v2(const CTagFile& file, uint64_t nStart, TagFields& fields);
void ReadId3v1(const CTagFile& file, TagFields& fields);
