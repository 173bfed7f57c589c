// The names a WAV file keeps in its LIST/INFO chunk (INAM, IART, IPRD).
#pragma once

#include "tags/CTagFile.h"
#include "tags/TagFields.h"

void ReadRiffInfo(const CTagFile& file, TagFields& fields);
