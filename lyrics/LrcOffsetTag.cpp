#include "lyrics/LrcOffsetTag.h"

#include <cstdio>
#include <string>

#include "framework/Holders.h"
#include "lyrics/LrcStamp.h"
#include "lyrics/LrcText.h"

namespace {

// The file's text as code units: bytes for GBK and UTF-8, 16-bit units for UTF-16.
template <typename Unit>
struct Units {
    std::basic_string<Unit> s;
    size_t nBegin = 0;  // past the byte-order mark
    bool bGbk = false;  // a byte of 0x81 or more leads a pair, whose second byte may be '[' or ']'
};

template <typename Unit>
bool IsLineEnd(Unit c) {
    return c == Unit('\r') || c == Unit('\n');
}

template <typename Unit>
bool IsTagWord(const std::basic_string<Unit>& s, size_t at, size_t end, const char* pszWord) {
    for (; *pszWord; ++pszWord, ++at) {
        if (at >= end)
            return false;
        const Unit c = s[at];
        const Unit lower = c >= Unit('A') && c <= Unit('Z') ? Unit(c - 'A' + 'a') : c;
        if (lower != Unit(*pszWord))
            return false;
    }
    return true;
}

// Past the spaces and byte-order marks a line starts with, as the reader skips them.
size_t LineLead(const Units<char16_t>& u, size_t at, size_t end) {
    while (at < end && (u.s[at] == u' ' || u.s[at] == u'\xFEFF'))
        ++at;
    return at;
}

size_t LineLead(const Units<char>& u, size_t at, size_t end) {
    for (;;) {
        if (at < end && u.s[at] == ' ')
            ++at;
        else if (!u.bGbk && u.s.compare(at, 3, "\xEF\xBB\xBF") == 0 && at + 3 <= end)
            at += 3;
        else
            return at;
    }
}

template <typename Unit>
std::basic_string<Unit> Widen(const std::string& ascii) {
    return std::basic_string<Unit>(ascii.begin(), ascii.end());
}

// Where the tag that opens at s[at] closes; end when nothing closes it on the line.
template <typename Unit>
size_t TagClose(const Units<Unit>& u, size_t at, size_t end) {
    for (size_t i = at; i < end; ++i) {
        if (u.s[i] == Unit(']'))
            return i;
        if (u.bGbk && static_cast<unsigned>(u.s[i]) >= 0x81)
            ++i;
    }
    return end;
}

template <typename Unit>
std::basic_string<Unit> SetOffset(const Units<Unit>& u, int nOffsetMs) {
    const std::basic_string<Unit>& s = u.s;
    const std::basic_string<Unit> value = Widen<Unit>(LrcOffsetValue(nOffsetMs));
    std::basic_string<Unit> out(s, 0, u.nBegin);
    std::basic_string<Unit> eol;
    size_t nInsertAt = u.nBegin;  // just past the last header tag line
    bool bHeaders = true;         // still among the leading header tags and blank lines
    bool bLastEnded = true;       // that line had a line end
    bool bFound = false;
    size_t nCopied = u.nBegin;
    for (size_t i = u.nBegin; i < s.size();) {
        size_t end = i;
        while (end < s.size() && !IsLineEnd(s[end]))
            ++end;
        size_t next = end < s.size() ? end + 1 : end;
        if (end + 1 < s.size() && s[end] == Unit('\r') && s[end + 1] == Unit('\n'))
            next = end + 2;
        if (eol.empty() && end < s.size())
            eol.assign(s, end, next - end);
        const size_t at = LineLead(u, i, end);
        if (at < end && s[at] == Unit('[')) {
            const std::wstring line(s.begin() + static_cast<ptrdiff_t>(at), s.begin() + static_cast<ptrdiff_t>(end));
            LrcStamp stamp;
            if (IsTagWord(s, at + 1, end, "offset:")) {
                const size_t nValue = at + 8;
                const size_t nClose = TagClose(u, nValue, end);
                out.append(s, nCopied, nValue - nCopied);
                out += value;
                if (nClose == end)
                    out += Unit(']');
                nCopied = nClose;
                bFound = true;
            } else if (ReadLrcStamp(line, 0, stamp) != 0) {
                bHeaders = false;
            }
            if (bHeaders) {
                nInsertAt = next;
                bLastEnded = next > end;
            }
        } else if (at < end) {
            bHeaders = false;
        }
        i = next;
    }
    if (bFound) {
        out.append(s, nCopied, std::basic_string<Unit>::npos);
        return out;
    }
    if (eol.empty())
        eol = Widen<Unit>("\r\n");
    std::basic_string<Unit> tag = Widen<Unit>("[offset:") + value + Unit(']');
    tag = bLastEnded ? tag + eol : eol + tag;
    out.append(s, u.nBegin, nInsertAt - u.nBegin);
    out += tag;
    out.append(s, nInsertAt, std::basic_string<Unit>::npos);
    return out;
}

std::string Utf16Edit(const std::string& bytes, bool bBigEndian, int nOffsetMs) {
    Units<char16_t> u;
    u.nBegin = 1;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const unsigned b0 = static_cast<unsigned char>(bytes[i]);
        const unsigned b1 = static_cast<unsigned char>(bytes[i + 1]);
        u.s += static_cast<char16_t>(bBigEndian ? (b0 << 8 | b1) : (b1 << 8 | b0));
    }
    const std::u16string edited = SetOffset(u, nOffsetMs);
    std::string out;
    out.reserve(edited.size() * 2 + 1);
    for (const char16_t c : edited) {
        const char hi = static_cast<char>(c >> 8);
        const char lo = static_cast<char>(c & 0xFF);
        out += bBigEndian ? hi : lo;
        out += bBigEndian ? lo : hi;
    }
    // Half a unit at the end is no character, but it is the file's.
    if (bytes.size() % 2)
        out += bytes.back();
    return out;
}

}  // namespace

std::string LrcOffsetValue(int nOffsetMs) {
    char sz[16];
    std::snprintf(sz, sizeof(sz), nOffsetMs > 0 ? "+%d" : "%d", nOffsetMs);
    return sz;
}

std::string WithLrcOffset(const std::string& bytes, int nOffsetMs) {
    const LrcEncoding encoding = DetectLrcEncoding(bytes);
    if (encoding == LrcEncoding::Utf16Le || encoding == LrcEncoding::Utf16Be)
        return Utf16Edit(bytes, encoding == LrcEncoding::Utf16Be, nOffsetMs);
    Units<char> u;
    u.s = bytes;
    u.nBegin = encoding == LrcEncoding::Utf8Bom ? 3 : 0;
    u.bGbk = encoding == LrcEncoding::Gbk;
    return SetOffset(u, nOffsetMs);
}

bool ReplaceFileWith(const CStringW& strPath, const std::string& bytes, bool bReplace) {
    const int nSlash = strPath.ReverseFind(L'\\');
    const CStringW strDir = nSlash < 0 ? CStringW(L".") : strPath.Left(nSlash);
    ::CreateDirectoryW(strDir, nullptr);
    wchar_t szTemp[MAX_PATH];
    if (!::GetTempFileNameW(strDir, L"lrc", 0, szTemp))
        return false;
    bool bWritten = false;
    {
        const CFileHandle file(
            ::CreateFileW(szTemp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD dwWritten = 0;
        bWritten = file &&
                   ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &dwWritten, nullptr) &&
                   dwWritten == bytes.size() && ::FlushFileBuffers(file.Get());
    }
    const DWORD dwFlags = MOVEFILE_WRITE_THROUGH | (bReplace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (bWritten && ::MoveFileExW(szTemp, strPath, dwFlags))
        return true;
    ::DeleteFileW(szTemp);
    return false;
}

LrcWriteResult WriteLrcOffset(const CStringW& strPath, int nOffsetMs) {
    // Checked first: Wine run as root, and some shares, would let the move replace it anyway.
    const DWORD dwAttributes = ::GetFileAttributesW(strPath);
    if (dwAttributes == INVALID_FILE_ATTRIBUTES)
        return LrcWriteResult::Failed;
    if (dwAttributes & FILE_ATTRIBUTE_READONLY)
        return LrcWriteResult::ReadOnly;
    std::string bytes;
    {
        const CFileHandle file(
            ::CreateFileW(strPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        LARGE_INTEGER size = {};
        if (!file || !::GetFileSizeEx(file.Get(), &size) || size.QuadPart > 64 * 1024 * 1024)
            return LrcWriteResult::Failed;
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD dwRead = 0;
        if (!bytes.empty() && (!::ReadFile(file.Get(), &bytes[0], static_cast<DWORD>(bytes.size()), &dwRead, nullptr) ||
                               dwRead != bytes.size()))
            return LrcWriteResult::Failed;
    }
    const std::string edited = WithLrcOffset(bytes, nOffsetMs);
    if (edited == bytes)
        return LrcWriteResult::Written;
    return ReplaceFileWith(strPath, edited) ? LrcWriteResult::Written : LrcWriteResult::Failed;
}
