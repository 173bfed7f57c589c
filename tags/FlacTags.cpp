#include "tags/FlacTags.h"

#include <string>

#include "tags/CFileSpan.h"
#include "tags/TagText.h"
#include "tags/VorbisComment.h"

namespace {

const unsigned kInvalid = 127;
const int kMaxBlocks = 1000;

}  // namespace

void ReadFlacTags(const CTagFile& file, uint64_t nStart, TagFields& fields) {
    if (file.ReadAt(nStart, 4) != "fLaC")
        return;
    uint64_t pos = nStart + 4;
    for (int i = 0; i < kMaxBlocks; ++i) {
        const std::string head = file.ReadAt(pos, 4);
        if (head.size() < 4)
            return;
        const unsigned nType = FlacBlockType(head);
        const uint64_t nBody = pos + 4;
        const uint64_t nEnd = nBody + BigEndian24(head, 1);
        if (nType == kInvalid || nEnd > file.Size())
            return;
        if (nType == kFlacVorbisComment) {
            CFileSpan span(file, nBody, nEnd);
            ReadVorbisComment(span, fields);
            return;
        }
        if (ByteAt(head, 0) & 0x80)  // the last metadata block; the audio follows
            return;
        pos = nEnd;
    }
}
