#include "lyrics/LrcText.h"

#include <windows.h>

#include <cstring>

#include "framework/CString.h"

namespace {

const UINT kGbkCodePage = 936;
const wchar_t kReplacement = L'\xFFFD';

bool HasPrefix(const std::string& s, const char* prefix, size_t n) {
    return s.size() >= n && std::memcmp(s.data(), prefix, n) == 0;
}

void AppendDecoded(UINT nCodePage, const char* p, size_t n, std::wstring& out) {
    if (n == 0)
        return;
    const int nIn = static_cast<int>(n);
    const int nWide = ::MultiByteToWideChar(nCodePage, 0, p, nIn, nullptr, 0);
    if (nWide <= 0)
        return;
    const size_t nOld = out.size();
    out.resize(nOld + static_cast<size_t>(nWide));
    ::MultiByteToWideChar(nCodePage, 0, p, nIn, &out[nOld], nWide);
}

// Whole runs of well-formed GBK go to the code page at once; a lead byte whose trail is missing
// would otherwise take the next byte, a line end or a bracket, into a character with it.
std::wstring GbkToWide(const std::string& bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    const size_t n = bytes.size();
    size_t nRun = 0;
    for (size_t i = 0; i < n;) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x81) {
            ++i;
            continue;
        }
        if (IsGbkLeadByte(b) && i + 1 < n && IsGbkTrailByte(static_cast<unsigned char>(bytes[i + 1]))) {
            i += 2;
            continue;
        }
        AppendDecoded(kGbkCodePage, bytes.data() + nRun, i - nRun, out);
        out += kReplacement;
        nRun = ++i;
    }
    AppendDecoded(kGbkCodePage, bytes.data() + nRun, n - nRun, out);
    return out;
}

std::wstring Utf8ToWide(const char* p, size_t n) {
    std::wstring out;
    AppendDecoded(CP_UTF8, p, n, out);
    return out;
}

std::wstring Utf16ToWide(const std::string& bytes, bool bBigEndian) {
    std::wstring wide;
    wide.reserve(bytes.size() / 2);
    // From after the BOM; an odd last byte is half a character and is dropped.
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const unsigned char b0 = static_cast<unsigned char>(bytes[i]);
        const unsigned char b1 = static_cast<unsigned char>(bytes[i + 1]);
        wide += static_cast<wchar_t>(bBigEndian ? (b0 << 8 | b1) : (b1 << 8 | b0));
    }
    // Half a pair draws as nothing sensible: it becomes the replacement character.
    for (size_t i = 0; i < wide.size(); ++i) {
        if (IsHighSurrogate(wide[i]) && i + 1 < wide.size() && IsLowSurrogate(wide[i + 1]))
            ++i;
        else if (IsHighSurrogate(wide[i]) || IsLowSurrogate(wide[i]))
            wide[i] = kReplacement;
    }
    return wide;
}

}  // namespace

LrcEncoding DetectLrcEncoding(const std::string& bytes) {
    if (HasPrefix(bytes, "\xEF\xBB\xBF", 3))
        return LrcEncoding::Utf8Bom;
    if (HasPrefix(bytes, "\xFF\xFE", 2))
        return LrcEncoding::Utf16Le;
    if (HasPrefix(bytes, "\xFE\xFF", 2))
        return LrcEncoding::Utf16Be;
    bool bMultiByte = false;
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            bMultiByte = true;
            break;
        }
    }
    // Plain ASCII reads the same either way.
    if (bMultiByte && IsValidUtf8(bytes.data(), bytes.size()))
        return LrcEncoding::Utf8;
    return LrcEncoding::Gbk;
}

std::wstring LrcBytesToText(const std::string& bytes) {
    switch (DetectLrcEncoding(bytes)) {
    case LrcEncoding::Utf8Bom:
        return Utf8ToWide(bytes.data() + 3, bytes.size() - 3);
    case LrcEncoding::Utf8:
        return Utf8ToWide(bytes.data(), bytes.size());
    case LrcEncoding::Utf16Le:
        return Utf16ToWide(bytes, false);
    case LrcEncoding::Utf16Be:
        return Utf16ToWide(bytes, true);
    case LrcEncoding::Gbk:
        break;
    }
    return GbkToWide(bytes);
}
