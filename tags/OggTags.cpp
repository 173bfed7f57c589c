#include "tags/OggTags.h"

#include <string>

#include "tags/COggPacketStream.h"
#include "tags/FlacTags.h"
#include "tags/VorbisComment.h"

namespace {

// Reads the second packet's start and says whether the comment follows it.
bool AtComment(COggPacketStream& ogg, const std::string& strFirst) {
    std::string head;
    if (!ogg.NextPacket())
        return false;
    if (strFirst.compare(0, 7, "\x01vorbis") == 0)
        return ogg.Read(7, head) && head == "\x03vorbis";
    if (strFirst == "OpusHead")
        return ogg.Read(8, head) && head == "OpusTags";
    if (strFirst.compare(0, 5, "\177FLAC") == 0)
        return ogg.Read(4, head) && FlacBlockType(head) == kFlacVorbisComment;
    return false;
}

}  // namespace

void ReadOggTags(const CTagFile& file, TagFields& fields) {
    COggPacketStream ogg(file);
    std::string first;
    if (ogg.NextPacket() && ogg.Read(8, first) && AtComment(ogg, first))
        ReadVorbisComment(ogg, fields);
}
