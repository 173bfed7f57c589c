#include "tags/RiffInfo.h"

#include <string>

#include "tags/TagText.h"

namespace {

const size_t kMaxInfoChunk = 1024 * 1024;
const int kMaxChunks = 1000;

TagField FieldOf(const std::string& id) {
    if (id == "INAM")
        return TagField::Title;
    if (id == "IART")
        return TagField::Artist;
    if (id == "IPRD")
        return TagField::Album;
    return TagField::None;
}

// info: the sub-chunks of a LIST chunk of type INFO.
void ReadInfo(const std::string& info, TagFields& fields) {
    for (size_t pos = 0; pos + 8 <= info.size();) {
        const std::string id = info.substr(pos, 4);
        const size_t nSize = LittleEndian32(info, pos + 4);
        pos += 8;
        if (nSize > info.size() - pos)
            return;
        fields.Keep(FieldOf(id), LegacyTextToUtf8(UpToNul(info.substr(pos, nSize), 0)));
        pos += nSize + (nSize & 1);  // chunks are padded to even sizes
    }
}

}  // namespace

void ReadRiffInfo(const CTagFile& file, TagFields& fields) {
    uint64_t pos = 12;
    for (int nChunks = 0; nChunks < kMaxChunks; ++nChunks) {
        const std::string head = file.ReadAt(pos, 12);
        if (head.size() < 8)
            return;
        const uint32_t nSize = LittleEndian32(head, 4);
        if (head.compare(0, 4, "LIST") == 0 && head.size() == 12 && head.compare(8, 4, "INFO") == 0 && nSize >= 4 &&
            nSize <= kMaxInfoChunk) {
            ReadInfo(file.ReadAt(pos + 12, nSize - 4), fields);
            return;
        }
        pos += 8 + uint64_t(nSize) + (nSize & 1);
    }
}
