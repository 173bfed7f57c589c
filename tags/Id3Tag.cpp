#include "tags/Id3Tag.h"

#include <string>

#include "framework/CStringW.h"
#include "tags/TagText.h"

namespace {

const size_t kHeader = 10;
// A whole tag is read into memory only to undo its unsynchronisation; bigger ones hold pictures.
const size_t kMaxUnsynchronisedTag = 16 * 1024 * 1024;
const int kMaxFrames = 4096;

// Seven bits a byte, the high bit always clear, so that no size looks like an MPEG sync.
uint32_t SyncSafe32(const std::string& s, size_t i) {
    return uint32_t(ByteAt(s, i) & 0x7F) << 21 | uint32_t(ByteAt(s, i + 1) & 0x7F) << 14 |
           uint32_t(ByteAt(s, i + 2) & 0x7F) << 7 | (ByteAt(s, i + 3) & 0x7F);
}

// Undoes unsynchronisation: the 0x00 put after every 0xFF goes.
std::string Resync(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    size_t nFrom = 0;
    for (size_t i = s.find('\xFF'); i != std::string::npos && i + 1 < s.size(); i = s.find('\xFF', i + 1)) {
        if (s[i + 1] == '\0') {
            out.append(s, nFrom, i + 1 - nFrom);
            nFrom = i + 2;
            ++i;
        }
    }
    out.append(s, nFrom, std::string::npos);
    return out;
}

TagField FieldOf(const std::string& id) {
    if (id == "TIT2" || id == "TT2")
        return TagField::Title;
    if (id == "TPE1" || id == "TP1")
        return TagField::Artist;
    if (id == "TALB" || id == "TAL")
        return TagField::Album;
    if (id == "USLT" || id == "ULT")
        return TagField::Lyrics;
    return TagField::None;
}

// A text of the given encoding from nFrom up to its terminator (or the end).
std::string Text(int nEncoding, const std::string& data, size_t nFrom) {
    switch (nEncoding) {
    case 0:
        return LegacyTextToUtf8(UpToNul(data, nFrom));
    case 1:  // UTF-16 with a byte-order mark; little-endian without one, as most writers mean it
        if (nFrom + 2 <= data.size() && ByteAt(data, nFrom) == 0xFE && ByteAt(data, nFrom + 1) == 0xFF)
            return Utf16ToUtf8(data, nFrom + 2, true);
        if (nFrom + 2 <= data.size() && ByteAt(data, nFrom) == 0xFF && ByteAt(data, nFrom + 1) == 0xFE)
            return Utf16ToUtf8(data, nFrom + 2, false);
        return Utf16ToUtf8(data, nFrom, false);
    case 2:  // UTF-16 big-endian
        return Utf16ToUtf8(data, nFrom, true);
    case 3: {
        const std::string text = UpToNul(data, nFrom);
        return IsValidUtf8(text) ? text : std::string();
    }
    default:
        return std::string();
    }
}

// An encoding byte, a three-letter language and a descriptor in that encoding, then the lyrics.
std::string Lyrics(const std::string& data) {
    if (data.size() < 4)
        return std::string();
    const int nEncoding = ByteAt(data, 0);
    size_t pos = 4;
    if (nEncoding == 1 || nEncoding == 2) {
        while (pos + 1 < data.size() && (data[pos] != '\0' || data[pos + 1] != '\0'))
            pos += 2;
        pos += 2;
    } else {
        pos = data.find('\0', pos);
        if (pos == std::string::npos)
            return std::string();
        ++pos;
    }
    return pos < data.size() ? Text(nEncoding, data, pos) : std::string();
}

// A frame's body after its header; false for one compressed or encrypted.
bool Unwrap(int nVersion, unsigned char format, bool bTagUnsynchronised, std::string& data) {
    if (nVersion == 3) {
        if (format & 0xC0)
            return false;
        if (format & 0x20)  // a group byte
            data.erase(0, 1);
    } else if (nVersion == 4) {
        if (format & 0x0C)
            return false;
        if (format & 0x40)
            data.erase(0, 1);
        if (format & 0x01)  // the data length
            data.erase(0, 4);
        // In 2.4 each frame says itself whether it is unsynchronised.
        if ((format & 0x02) || bTagUnsynchronised)
            data = Resync(data);
    }
    return true;
}

// Walks the frames in [nBegin, nEnd) of file.
void ReadFrames(const CTagFile& file, uint64_t nBegin, uint64_t nEnd, int nVersion, bool bTagUnsynchronised,
                TagFields& fields) {
    const size_t nFrameHeader = nVersion == 2 ? 6 : 10;
    uint64_t pos = nBegin;
    for (int i = 0; i < kMaxFrames && pos + nFrameHeader <= nEnd; ++i) {
        const std::string head = file.ReadAt(pos, nFrameHeader);
        if (head.size() < nFrameHeader || head[0] == '\0')  // the padding
            return;
        const std::string id = head.substr(0, nVersion == 2 ? 3 : 4);
        const uint64_t nSize = nVersion == 2   ? BigEndian24(head, 3)
                               : nVersion == 3 ? BigEndian32(head, 4)
                                               : SyncSafe32(head, 4);
        const unsigned char format = nVersion == 2 ? 0 : ByteAt(head, 9);
        pos += nFrameHeader;
        if (nSize > nEnd - pos)
            return;
        const uint64_t nData = pos;
        pos += nSize;
        const TagField field = FieldOf(id);
        if (!fields.Wants(field, nSize))
            continue;
        std::string data = file.ReadAt(nData, static_cast<size_t>(nSize));
        if (data.size() != nSize || !Unwrap(nVersion, format, bTagUnsynchronised, data) || data.empty())
            continue;
        // Of several values in a text frame the first counts.
        fields.Keep(field, field == TagField::Lyrics ? Lyrics(data) : Text(ByteAt(data, 0), data, 1));
    }
}

}  // namespace

uint64_t ReadId3v2(const CTagFile& file, uint64_t nStart, TagFields& fields) {
    const std::string head = file.ReadAt(nStart, kHeader);
    if (head.size() < kHeader || head.compare(0, 3, "ID3") != 0)
        return 0;
    const int nVersion = ByteAt(head, 3);
    const unsigned char flags = ByteAt(head, 5);
    const uint64_t nSize = SyncSafe32(head, 6);
    const uint64_t nBody = nStart + kHeader;
    const uint64_t nEnd = nBody + nSize + (nVersion == 4 && (flags & 0x10) ? kHeader : 0);  // a footer
    // 2.2's compression was never defined, so such a tag cannot be read.
    if (nVersion < 2 || nVersion > 4 || (nVersion == 2 && (flags & 0x40)))
        return nEnd;
    const bool bUnsynchronised = (flags & 0x80) != 0;
    if (bUnsynchronised && nVersion < 4) {
        // Before 2.4 the whole tag is unsynchronised, sizes and all: undone in memory.
        if (nSize > kMaxUnsynchronisedTag)
            return nEnd;
        const CTagFile tag(Resync(file.ReadAt(nBody, static_cast<size_t>(nSize))));
        uint64_t pos = 0;
        if (nVersion == 3 && (flags & 0x40))  // an extended header
            pos = 4 + uint64_t(BigEndian32(tag.ReadAt(0, 4) + std::string(4, '\0'), 0));
        ReadFrames(tag, pos, tag.Size(), nVersion, false, fields);
        return nEnd;
    }
    uint64_t pos = nBody;
    if (nVersion >= 3 && (flags & 0x40)) {
        const std::string ext = file.ReadAt(nBody, 4) + std::string(4, '\0');
        pos += nVersion == 3 ? 4 + uint64_t(BigEndian32(ext, 0)) : uint64_t(SyncSafe32(ext, 0));
    }
    ReadFrames(file, pos, nBody + nSize, nVersion, bUnsynchronised, fields);
    return nEnd;
}

void ReadId3v1(const CTagFile& file, TagFields& fields) {
    if (file.Size() < 128)
        return;
    const std::string tag = file.ReadAt(file.Size() - 128, 128);
    if (tag.size() != 128 || tag.compare(0, 3, "TAG") != 0)
        return;
    fields.Keep(TagField::Title, LegacyTextToUtf8(UpToNul(tag.substr(3, 30), 0)));
    fields.Keep(TagField::Artist, LegacyTextToUtf8(UpToNul(tag.substr(33, 30), 0)));
    fields.Keep(TagField::Album, LegacyTextToUtf8(UpToNul(tag.substr(63, 30), 0)));
}
