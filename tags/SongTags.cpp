#include "tags/SongTags.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "framework/Holders.h"
#include "lyrics/LrcText.h"

namespace {

const UINT kGbkCodePage = 936;
// A tag bigger than this holds pictures, not names: it is not read.
const size_t kMaxId3Tag = 16 * 1024 * 1024;
const size_t kMaxInfoChunk = 1024 * 1024;

std::string ReadAt(FILE* f, long long nOffset, size_t nBytes) {
    std::string bytes;
    if (_fseeki64(f, nOffset, nOffset < 0 ? SEEK_END : SEEK_SET) != 0)
        return bytes;
    bytes.resize(nBytes);
    bytes.resize(std::fread(&bytes[0], 1, nBytes, f));
    return bytes;
}

unsigned char Byte(const std::string& s, size_t i) {
    return static_cast<unsigned char>(s[i]);
}

uint32_t BigEndian32(const std::string& s, size_t i) {
    return uint32_t(Byte(s, i)) << 24 | uint32_t(Byte(s, i + 1)) << 16 | uint32_t(Byte(s, i + 2)) << 8 | Byte(s, i + 3);
}

uint32_t LittleEndian32(const std::string& s, size_t i) {
    return uint32_t(Byte(s, i + 3)) << 24 | uint32_t(Byte(s, i + 2)) << 16 | uint32_t(Byte(s, i + 1)) << 8 | Byte(s, i);
}

// Seven bits a byte, the high bit always clear, so that no size looks like an MPEG sync.
uint32_t SyncSafe32(const std::string& s, size_t i) {
    return uint32_t(Byte(s, i) & 0x7F) << 21 | uint32_t(Byte(s, i + 1) & 0x7F) << 14 |
           uint32_t(Byte(s, i + 2) & 0x7F) << 7 | (Byte(s, i + 3) & 0x7F);
}

// Undoes unsynchronisation: the 0x00 put after every 0xFF goes.
std::string Resync(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        out += s[i];
        if (Byte(s, i) == 0xFF && i + 1 < s.size() && s[i + 1] == '\0')
            ++i;
    }
    return out;
}

std::string WideToUtf8(const wchar_t* p, size_t n) {
    if (n == 0)
        return std::string();
    const int nIn = static_cast<int>(n);
    const int nOut = ::WideCharToMultiByte(CP_UTF8, 0, p, nIn, nullptr, 0, nullptr, nullptr);
    if (nOut <= 0)
        return std::string();
    std::string out(static_cast<size_t>(nOut), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, p, nIn, &out[0], nOut, nullptr, nullptr);
    return out;
}

// Empty when the bytes are not text of that code page.
std::wstring ToWide(UINT nCodePage, const std::string& bytes, DWORD dwFlags) {
    if (bytes.empty())
        return std::wstring();
    const int nIn = static_cast<int>(bytes.size());
    const int n = ::MultiByteToWideChar(nCodePage, dwFlags, bytes.data(), nIn, nullptr, 0);
    if (n <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(nCodePage, dwFlags, bytes.data(), nIn, &wide[0], n);
    return wide;
}

std::string Utf16ToUtf8(const std::string& bytes, size_t nFrom, bool bBigEndian) {
    std::wstring wide;
    for (size_t i = nFrom; i + 1 < bytes.size(); i += 2) {
        const wchar_t c = bBigEndian ? wchar_t(Byte(bytes, i) << 8 | Byte(bytes, i + 1))
                                     : wchar_t(Byte(bytes, i + 1) << 8 | Byte(bytes, i));
        if (c == 0)
            break;
        wide += c;
    }
    return WideToUtf8(wide.data(), wide.size());
}

std::string UpToNul(const std::string& s, size_t nFrom) {
    if (nFrom >= s.size())
        return std::string();
    return s.substr(nFrom, s.find('\0', nFrom) - nFrom);
}

std::string Trimmed(const std::string& s) {
    const size_t first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return std::string();
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

// A text frame's body: an encoding byte, then the text; of several values the first.
std::string TextFrame(const std::string& data) {
    if (data.empty())
        return std::string();
    switch (Byte(data, 0)) {
    case 0:
        return LegacyTextToUtf8(UpToNul(data, 1));
    case 1:  // UTF-16 with a byte-order mark; little-endian without one, as most writers mean it
        if (data.size() >= 3 && Byte(data, 1) == 0xFE && Byte(data, 2) == 0xFF)
            return Utf16ToUtf8(data, 3, true);
        if (data.size() >= 3 && Byte(data, 1) == 0xFF && Byte(data, 2) == 0xFE)
            return Utf16ToUtf8(data, 3, false);
        return Utf16ToUtf8(data, 1, false);
    case 2:  // UTF-16 big-endian
        return Utf16ToUtf8(data, 1, true);
    case 3: {
        const std::string text = UpToNul(data, 1);
        return IsValidUtf8(text.data(), text.size()) ? text : std::string();
    }
    default:
        return std::string();
    }
}

void Keep(std::string& strField, const std::string& strValue) {
    if (strField.empty())
        strField = Trimmed(strValue);
}

std::string* FieldOf(SongTags& tags, const std::string& id, const char* pszTitle, const char* pszArtist,
                     const char* pszAlbum) {
    if (id == pszTitle)
        return &tags.strTitle;
    if (id == pszArtist)
        return &tags.strArtist;
    if (id == pszAlbum)
        return &tags.strAlbum;
    return nullptr;
}

// tag: the whole ID3v2 tag, its 10-byte header first.
void ReadId3v2(const std::string& tag, SongTags& tags) {
    const int nVersion = Byte(tag, 3);
    if (nVersion != 3 && nVersion != 4)
        return;
    const unsigned char flags = Byte(tag, 5);
    std::string body = tag.substr(10);
    // In 2.3 the whole tag is unsynchronised; in 2.4 each frame says so itself.
    if (nVersion == 3 && (flags & 0x80))
        body = Resync(body);
    size_t pos = 0;
    if ((flags & 0x40) && body.size() >= 4)  // an extended header
        pos = nVersion == 3 ? 4 + size_t(BigEndian32(body, 0)) : size_t(SyncSafe32(body, 0));
    while (pos + 10 <= body.size() && body[pos] != '\0') {
        const std::string id = body.substr(pos, 4);
        const size_t nSize = nVersion == 4 ? SyncSafe32(body, pos + 4) : BigEndian32(body, pos + 4);
        const unsigned char format = Byte(body, pos + 9);
        pos += 10;
        if (nSize > body.size() - pos)
            break;
        std::string data = body.substr(pos, nSize);
        pos += nSize;
        std::string* pField = FieldOf(tags, id, "TIT2", "TPE1", "TALB");
        if (!pField || !pField->empty())
            continue;
        if (nVersion == 3) {
            if (format & 0xC0)  // compressed or encrypted
                continue;
            if (format & 0x20)  // a group byte
                data.erase(0, 1);
        } else {
            if (format & 0x0C)
                continue;
            if (format & 0x40)
                data.erase(0, 1);
            if (format & 0x01)  // the data length
                data.erase(0, 4);
            if ((format & 0x02) || (flags & 0x80))
                data = Resync(data);
        }
        Keep(*pField, TextFrame(data));
    }
}

void ReadId3v1(const std::string& tag, SongTags& tags) {
    Keep(tags.strTitle, LegacyTextToUtf8(UpToNul(tag.substr(3, 30), 0)));
    Keep(tags.strArtist, LegacyTextToUtf8(UpToNul(tag.substr(33, 30), 0)));
    Keep(tags.strAlbum, LegacyTextToUtf8(UpToNul(tag.substr(63, 30), 0)));
}

// info: the sub-chunks of a LIST chunk of type INFO.
void ReadRiffInfo(const std::string& info, SongTags& tags) {
    for (size_t pos = 0; pos + 8 <= info.size();) {
        const std::string id = info.substr(pos, 4);
        const size_t nSize = LittleEndian32(info, pos + 4);
        pos += 8;
        if (nSize > info.size() - pos)
            break;
        if (std::string* pField = FieldOf(tags, id, "INAM", "IART", "IPRD"))
            Keep(*pField, LegacyTextToUtf8(UpToNul(info.substr(pos, nSize), 0)));
        pos += nSize + (nSize & 1);  // chunks are padded to even sizes
    }
}

void ReadWav(FILE* f, SongTags& tags) {
    long long pos = 12;
    for (int nChunks = 0; nChunks < 1000; ++nChunks) {
        const std::string head = ReadAt(f, pos, 12);
        if (head.size() < 8)
            return;
        const uint32_t nSize = LittleEndian32(head, 4);
        if (head.compare(0, 4, "LIST") == 0 && head.size() == 12 && head.compare(8, 4, "INFO") == 0 && nSize >= 4 &&
            nSize <= kMaxInfoChunk) {
            ReadRiffInfo(ReadAt(f, pos + 12, nSize - 4), tags);
            return;
        }
        pos += 8 + static_cast<long long>(nSize) + (nSize & 1);
    }
}

}  // namespace

std::string LegacyTextToUtf8(const std::string& bytes) {
    if (IsValidUtf8(bytes.data(), bytes.size()))
        return bytes;
    std::wstring wide = ToWide(kGbkCodePage, bytes, MB_ERR_INVALID_CHARS);
    if (wide.empty()) {
        wide.reserve(bytes.size());
        for (char c : bytes)
            wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    return WideToUtf8(wide.data(), wide.size());
}

SongTags ReadSongTags(const wchar_t* pszPath) {
    SongTags tags;
    const CFilePtr f(::_wfopen(pszPath, L"rb"));
    if (!f)
        return tags;
    const std::string head = ReadAt(f.Get(), 0, 12);
    if (head.size() >= 12 && head.compare(0, 4, "RIFF") == 0 && head.compare(8, 4, "WAVE") == 0) {
        ReadWav(f.Get(), tags);
        return tags;
    }
    if (head.size() >= 10 && head.compare(0, 3, "ID3") == 0) {
        const size_t nSize = SyncSafe32(head, 6);
        if (nSize <= kMaxId3Tag) {
            const std::string tag = ReadAt(f.Get(), 0, 10 + nSize);
            if (tag.size() == 10 + nSize)
                ReadId3v2(tag, tags);
        }
    }
    const std::string v1 = ReadAt(f.Get(), -128, 128);
    if (v1.size() == 128 && v1.compare(0, 3, "TAG") == 0)
        ReadId3v1(v1, tags);
    return tags;
}

SongTags DescribeSong(const wchar_t* pszPath) {
    SongTags tags = ReadSongTags(pszPath);
    std::wstring name = pszPath;
    name.erase(0, name.find_last_of(L"\\/") + 1);
    const size_t nDot = name.rfind(L'.');
    if (nDot != std::wstring::npos && nDot > 0)
        name.erase(nDot);
    const size_t nDash = name.find(L" - ");
    if (nDash != std::wstring::npos) {
        Keep(tags.strArtist, WideToUtf8(name.data(), nDash));
        Keep(tags.strTitle, WideToUtf8(name.data() + nDash + 3, name.size() - nDash - 3));
    }
    Keep(tags.strTitle, WideToUtf8(name.data(), name.size()));
    return tags;
}
