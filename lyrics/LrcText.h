// Turns the raw bytes of a lyric file into GBK text lines. LRC files come from many editors:
// GBK, UTF-8 with or without BOM, UTF-16 with BOM; everything after this point is GBK.
#pragma once

#include <string>
#include <vector>

#include "framework/CString.h"

enum class LrcEncoding { Gbk, Utf8, Utf8Bom, Utf16Le, Utf16Be };

// Well-formed UTF-8 (no overlongs, no surrogates, nothing past U+10FFFF).
bool IsValidUtf8(const char* p, size_t n);
// A BOM decides; otherwise valid UTF-8 holding at least one multi-byte character is UTF-8,
// and anything else is taken to be GBK already.
LrcEncoding DetectLrcEncoding(const std::string& bytes);
// The file's text in GBK; characters GBK lacks become '?'.
std::string LrcBytesToGbk(const std::string& bytes);
// The file's lines: CR LF, LF and a lone CR end a line, Ctrl-Z ends the file, and a NUL ends its
// line as it ends a C string. A last line without a line end still counts.
std::vector<CString> SplitLrcLines(const std::string& text);
