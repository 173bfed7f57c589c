#include "tags/SongTags.h"

#include "framework/CStringW.h"
#include "tags/CTagFile.h"
#include "tags/FlacTags.h"
#include "tags/Id3Tag.h"
#include "tags/Mp4Tags.h"
#include "tags/OggTags.h"
#include "tags/RiffInfo.h"
#include "tags/TagFields.h"

namespace {

TagFields ReadSongFile(const wchar_t* pszPath, bool bNamesOnly) {
    TagFields fields;
    fields.bNamesOnly = bNamesOnly;
    const CTagFile file(pszPath);
    const std::string head = file.ReadAt(0, 12);
    if (head.size() < 12)
        return fields;
    if (head.compare(0, 4, "RIFF") == 0 && head.compare(8, 4, "WAVE") == 0) {
        ReadRiffInfo(file, fields);
        return fields;
    }
    const uint64_t nAfterId3 = ReadId3v2(file, 0, fields);
    if (nAfterId3 > 0)
        ReadFlacTags(file, nAfterId3, fields);  // some taggers put an ID3v2 tag before "fLaC"
    else if (head.compare(0, 4, "fLaC") == 0)
        ReadFlacTags(file, 0, fields);
    else if (head.compare(0, 4, "OggS") == 0)
        ReadOggTags(file, fields);
    else if (head.compare(4, 4, "ftyp") == 0)
        ReadMp4Tags(file, fields);
    ReadId3v1(file, fields);
    return fields;
}

}  // namespace

SongTags ReadSongTags(const wchar_t* pszPath) {
    return ReadSongFile(pszPath, true).tags;
}

SongTags DescribeSong(const wchar_t* pszPath) {
    TagFields fields;
    fields.tags = ReadSongTags(pszPath);
    std::wstring name = pszPath;
    name.erase(0, name.find_last_of(L"\\/") + 1);
    const size_t nDot = name.rfind(L'.');
    if (nDot != std::wstring::npos && nDot > 0)
        name.erase(nDot);
    const size_t nDash = name.find(L" - ");
    if (nDash != std::wstring::npos) {
        fields.Keep(TagField::Artist, CStringW::ToUtf8(std::wstring_view(name).substr(0, nDash)));
        fields.Keep(TagField::Title, CStringW::ToUtf8(std::wstring_view(name).substr(nDash + 3)));
    }
    fields.Keep(TagField::Title, CStringW::ToUtf8(name));
    return fields.tags;
}

bool ReadEmbeddedLyrics(const wchar_t* pszPath, std::string& strUtf8) {
    strUtf8 = ReadSongFile(pszPath, false).strLyrics;
    return !strUtf8.empty();
}
