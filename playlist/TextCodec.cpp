#include "playlist/TextCodec.h"

#include <windows.h>

#include <algorithm>

namespace {

void NarrowInto(UINT nCodePage, std::wstring_view wide, std::string& out) {
    const int nChars = static_cast<int>(wide.size());
    const int nBytes =
        nChars > 0 ? ::WideCharToMultiByte(nCodePage, 0, wide.data(), nChars, nullptr, 0, nullptr, nullptr) : 0;
    out.resize(static_cast<size_t>(std::max(nBytes, 0)));
    if (nBytes > 0)
        ::WideCharToMultiByte(nCodePage, 0, wide.data(), nChars, &out[0], nBytes, nullptr, nullptr);
}

void WidenInto(UINT nCodePage, std::string_view bytes, std::wstring& out) {
    const int nBytes = static_cast<int>(bytes.size());
    const int nChars = nBytes > 0 ? ::MultiByteToWideChar(nCodePage, 0, bytes.data(), nBytes, nullptr, 0) : 0;
    out.resize(static_cast<size_t>(std::max(nChars, 0)));
    if (nChars > 0)
        ::MultiByteToWideChar(nCodePage, 0, bytes.data(), nBytes, &out[0], nChars);
}

}  // namespace

std::wstring WideFromGbk(const CString& str) {
    std::wstring wide;
    WidenInto(CP_ACP, std::string_view(str.GetString(), static_cast<size_t>(str.GetLength())), wide);
    return wide;
}

CString GbkFromWide(std::wstring_view wide) {
    std::string gbk;
    NarrowInto(CP_ACP, wide, gbk);
    return CString(gbk);
}
