// The names and lyrics of an MP4 file (M4A, and ALAC in M4A): the items ©nam, ©ART, ©alb and ©lyr
// of moov/udta/meta/ilst (or moov/trak/udta/meta/ilst), each holding its text in a "data" atom. Atoms are walked by
// their headers, so the audio (mdat, before or after moov) is seeked over.
#pragma once

#include "tags/CTagFile.h"
#include "tags/TagFields.h"

void ReadMp4Tags(const CTagFile& file, TagFields& fields);
