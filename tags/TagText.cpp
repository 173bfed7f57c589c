#include "tags/TagText.h"

#include <windows.h>

#include "framework/CStringW.h"

namespace {

const UINT kGbkCodePage = 936;

// Empty when the bytes are not text of that code page.
std::wstring ToWide(UINT nCodePage, const std::string& bytes) {
    if (bytes.empty())
        return std::wstring();
    const int nIn = static_cast<int>(bytes.size());
    const int n = ::MultiByteToWideChar(nCodePage, MB_ERR_INVALID_CHARS, bytes.data(), nIn, nullptr, 0);
    if (n <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(nCodePage, MB_ERR_INVALID_CHARS, bytes.data(), nIn, &wide[0], n);
    return wide;
}

}  // namespace

unsigned char ByteAt(const std::string& s, size_t i) {
    return static_cast<unsigned char>(s[i]);
}

uint32_t BigEndian24(const std::string& s, size_t i) {
    return uint32_t(ByteAt(s, i)) << 16 | uint32_t(ByteAt(s, i + 1)) << 8 | ByteAt(s, i + 2);
}

uint32_t BigEndian32(const std::string& s, size_t i) {
    return uint32_t(ByteAt(s, i)) << 24 | BigEndian24(s, i + 1);
}

uint64_t BigEndian64(const std::string& s, size_t i) {
    return uint64_t(BigEndian32(s, i)) << 32 | BigEndian32(s, i + 4);
}

uint32_t LittleEndian32(const std::string& s, size_t i) {
    return uint32_t(ByteAt(s, i + 3)) << 24 | uint32_t(ByteAt(s, i + 2)) << 16 | uint32_t(ByteAt(s, i + 1)) << 8 |
           ByteAt(s, i);
}

std::string UpToNul(const std::string& s, size_t nFrom) {
    if (nFrom >= s.size())
        return std::string();
    return s.substr(nFrom, s.find('\0', nFrom) - nFrom);
}

std::string Utf16ToUtf8(const std::string& bytes, size_t nFrom, bool bBigEndian) {
    std::wstring wide;
    for (size_t i = nFrom; i + 1 < bytes.size(); i += 2) {
        const wchar_t c = bBigEndian ? wchar_t(ByteAt(bytes, i) << 8 | ByteAt(bytes, i + 1))
                                     : wchar_t(ByteAt(bytes, i + 1) << 8 | ByteAt(bytes, i));
        if (c == 0)
            break;
        wide += c;
    }
    return CStringW::ToUtf8(wide);
}

std::string LegacyTextToUtf8(const std::string& bytes) {
    if (IsValidUtf8(bytes))
        return bytes;
    std::wstring wide = ToWide(kGbkCodePage, bytes);
    if (wide.empty()) {
        wide.reserve(bytes.size());
        for (char c : bytes)
            wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    return CStringW::ToUtf8(wide);
}
