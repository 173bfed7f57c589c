// The names and lyrics of an Ogg file: the Vorbis comment in the second header packet of its
// first stream, for Vorbis ("\x03vorbis"), Opus ("OpusTags") and FLAC in Ogg (a metadata block).
#pragma once

#include "tags/CTagFile.h"
#include "tags/TagFields.h"

void ReadOggTags(const CTagFile& file, TagFields& fields);
