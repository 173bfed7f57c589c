#include "tags/Mp4Tags.h"

#include <string>

#include "tags/TagText.h"

namespace {

const int kMaxAtoms = 10000;
const uint32_t kUtf8 = 1;
const uint32_t kUtf16 = 2;  // big-endian

struct Atom {
    std::string type;
    uint64_t nBody = 0;
    uint64_t nEnd = 0;
};

// The atom at pos, which must end by nEnd; false when there is none or it runs past nEnd.
bool ReadAtom(const CTagFile& file, uint64_t pos, uint64_t nEnd, Atom& atom) {
    if (nEnd < pos || nEnd - pos < 8)
        return false;
    const std::string head = file.ReadAt(pos, 16);
    if (head.size() < 8)
        return false;
    uint64_t nSize = BigEndian32(head, 0);
    uint64_t nHeader = 8;
    if (nSize == 1) {  // a 64-bit size follows the type
        if (head.size() < 16)
            return false;
        nSize = BigEndian64(head, 8);
        nHeader = 16;
    } else if (nSize == 0) {  // up to the end
        nSize = nEnd - pos;
    }
    if (nSize < nHeader || nSize > nEnd - pos)
        return false;
    atom.type = head.substr(4, 4);
    atom.nBody = pos + nHeader;
    atom.nEnd = pos + nSize;
    return true;
}

// The first child of the given type in [nBegin, nEnd).
bool FindAtom(const CTagFile& file, uint64_t nBegin, uint64_t nEnd, const char* pszType, Atom& found) {
    Atom atom;
    uint64_t pos = nBegin;
    for (int i = 0; i < kMaxAtoms && ReadAtom(file, pos, nEnd, atom); ++i) {
        if (atom.type == pszType) {
            found = atom;
            return true;
        }
        pos = atom.nEnd;
    }
    return false;
}

// "\251" is ©, the byte 0xA9 that starts the names of iTunes's items.
TagField FieldOf(const std::string& type) {
    if (type == "\251nam")
        return TagField::Title;
    if (type == "\251ART")
        return TagField::Artist;
    if (type == "\251alb")
        return TagField::Album;
    if (type == "\251lyr")
        return TagField::Lyrics;
    return TagField::None;
}

// An item's "data" atom: a type, a locale, then the value.
void ReadItem(const CTagFile& file, const Atom& item, TagField field, TagFields& fields) {
    Atom data;
    if (!FindAtom(file, item.nBody, item.nEnd, "data", data) || data.nEnd - data.nBody < 8 ||
        !fields.Wants(field, data.nEnd - data.nBody - 8))
        return;
    const std::string bytes = file.ReadAt(data.nBody, static_cast<size_t>(data.nEnd - data.nBody));
    if (bytes.size() != data.nEnd - data.nBody)
        return;
    const uint32_t nType = BigEndian32(bytes, 0) & 0xFFFFFF;
    if (nType == kUtf16)
        fields.Keep(field, Utf16ToUtf8(bytes, 8, true));
    else if (nType == kUtf8 || nType == 0)
        fields.Keep(field, LegacyTextToUtf8(UpToNul(bytes, 8)));
}

// The ilst items of parent/udta/meta.
void ReadUserData(const CTagFile& file, const Atom& parent, TagFields& fields) {
    Atom udta, meta, ilst;
    if (!FindAtom(file, parent.nBody, parent.nEnd, "udta", udta) ||
        !FindAtom(file, udta.nBody, udta.nEnd, "meta", meta))
        return;
    // iTunes writes meta as a full atom (a version and flags before its children); QuickTime
    // writes it without them, and then the first child's type stands where a child's size would.
    const uint64_t nChildren = file.ReadAt(meta.nBody + 4, 4) == "hdlr" ? meta.nBody : meta.nBody + 4;
    if (!FindAtom(file, nChildren, meta.nEnd, "ilst", ilst))
        return;
    Atom item;
    uint64_t pos = ilst.nBody;
    for (int i = 0; i < kMaxAtoms && ReadAtom(file, pos, ilst.nEnd, item); ++i) {
        const TagField field = FieldOf(item.type);
        if (fields.Wants(field))
            ReadItem(file, item, field, fields);
        pos = item.nEnd;
    }
}

}  // namespace

void ReadMp4Tags(const CTagFile& file, TagFields& fields) {
    Atom moov;
    if (!FindAtom(file, 0, file.Size(), "moov", moov))
        return;
    ReadUserData(file, moov, fields);
    // GStreamer keeps them with the track instead (and leaves the movie's ilst empty).
    Atom trak;
    uint64_t pos = moov.nBody;
    for (int i = 0; i < kMaxAtoms && ReadAtom(file, pos, moov.nEnd, trak); ++i) {
        if (trak.type == "trak")
            ReadUserData(file, trak, fields);
        pos = trak.nEnd;
    }
}
