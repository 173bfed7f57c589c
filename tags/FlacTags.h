// The names and lyrics of a FLAC file, in its VORBIS_COMMENT metadata block.
#pragma once

#include <cstdint>

#include "tags/CTagFile.h"
#include "tags/TagFields.h"

// nStart: where "fLaC" stands (after an ID3v2 tag, when a tagger put one before it).
void ReadFlacTags(const CTagFile& file, uint64_t nStart, TagFields& fields);
