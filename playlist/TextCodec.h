// The song-list file's text in its three encodings: list names are GBK in the windows, everything
// is UTF-16 in the DOM and UTF-8 in the file. Converted as the DOM converts: every byte the code
// page reads, nothing dropped.
#pragma once

#include <string>
#include <string_view>

#include "framework/CString.h"

std::wstring WideFromGbk(const CString& str);
CString GbkFromWide(std::wstring_view wide);
