// The song-list file's text in its three encodings: the windows speak GBK, the DOM UTF-16 and the
// file UTF-8. Converted as the DOM converts: every byte the code page reads, nothing dropped.
#pragma once

#include <string>
#include <string_view>

#include "framework/CString.h"

std::wstring WideFromGbk(const CString& str);
CString GbkFromWide(std::wstring_view wide);
std::string Utf8FromWide(std::wstring_view wide);
// Called once a song on a long list, so the buffers are the caller's and kept from call to call.
CString GbkFromUtf8(std::string_view utf8, std::wstring& wide, std::string& gbk);
