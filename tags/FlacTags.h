// The names and lyrics of a FLAC file, in its VORBIS_COMMENT metadata block.
#pragma once

#include <cstdint>
#include <string>

#include "tags/CTagFile.h"
#include "tags/TagFields.h"

const unsigned kFlacVorbisComment = 4;

// The type of the metadata block whose header starts head; the top bit only marks the last block.
inline unsigned FlacBlockType(const std::string& head) {
    return static_cast<unsigned char>(head[0]) & 0x7F;
}

// nStart: where "fLaC" stands (after an ID3v2 tag, when a tagger put one before it).
void ReadFlacTags(const CTagFile& file, uint64_t nStart, TagFields& fields);
