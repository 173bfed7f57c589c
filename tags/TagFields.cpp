#include "tags/TagFields.h"

namespace {

const size_t kMaxName = 64 * 1024;
const size_t kMaxLyrics = 1024 * 1024;

std::string Trimmed(const std::string& s) {
    const size_t first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return std::string();
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

}  // namespace

std::string& TagFields::Of(TagField field) {
    switch (field) {
    case TagField::Title:
        return tags.strTitle;
    case TagField::Artist:
        return tags.strArtist;
    case TagField::Album:
        return tags.strAlbum;
    default:
        return strLyrics;
    }
}

bool TagFields::Wants(TagField field) {
    return field != TagField::None && !(bNamesOnly && field == TagField::Lyrics) && Of(field).empty();
}

bool TagFields::Wants(TagField field, uint64_t nSize) {
    return Wants(field) && nSize <= (field == TagField::Lyrics ? kMaxLyrics : kMaxName);
}

void TagFields::Keep(TagField field, const std::string& strValue) {
    if (Wants(field))
        Of(field) = Trimmed(strValue);
}
