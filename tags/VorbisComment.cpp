#include "tags/VorbisComment.h"

#include <string>

#include "tags/TagText.h"

namespace {

// A field name longer than this is none we read.
const size_t kNameBytes = 32;
const uint32_t kMaxFields = 100000;

TagField FieldOf(std::string name) {
    for (char& c : name)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    if (name == "TITLE")
        return TagField::Title;
    if (name == "ARTIST")
        return TagField::Artist;
    if (name == "ALBUM")
        return TagField::Album;
    if (name == "LYRICS" || name == "UNSYNCEDLYRICS")
        return TagField::Lyrics;
    return TagField::None;
}

bool ReadLength(CTagStream& stream, uint32_t& nLength) {
    std::string bytes;
    if (!stream.Read(4, bytes))
        return false;
    nLength = LittleEndian32(bytes, 0);
    return true;
}

}  // namespace

void ReadVorbisComment(CTagStream& stream, TagFields& fields) {
    uint32_t nVendor = 0;
    uint32_t nFields = 0;
    if (!ReadLength(stream, nVendor) || !stream.Skip(nVendor) || !ReadLength(stream, nFields))
        return;
    for (uint32_t i = 0; i < nFields && i < kMaxFields; ++i) {
        uint32_t nLength = 0;
        std::string head;
        if (!ReadLength(stream, nLength) || !stream.Read(nLength < kNameBytes ? nLength : kNameBytes, head))
            return;
        const size_t nEquals = head.find('=');
        const TagField field = nEquals == std::string::npos ? TagField::None : FieldOf(head.substr(0, nEquals));
        const size_t nRest = nLength - head.size();
        if (!fields.Wants(field, nLength)) {
            if (!stream.Skip(nRest))
                return;
            continue;
        }
        std::string rest;
        if (!stream.Read(nRest, rest))
            return;
        fields.Keep(field, LegacyTextToUtf8(UpToNul(head + rest, nEquals + 1)));
    }
}
