// Writes a lyric file's [offset:] tag into its bytes as they are: GBK, UTF-8 with or without a
// byte-order mark, UTF-16 with one. Only the tag's value changes, or one tag line is added after
// the header tags; every other byte, the mark and the line ends stay.
#pragma once

#include <string>

#include <windows.h>

#include "framework/CStringW.h"

// The tag's text for an offset in milliseconds, signed as the reader takes it: "+500", "-300", "0".
std::string LrcOffsetValue(int nOffsetMs);
// Sets every [offset:] tag of the file to nOffsetMs, or adds "[offset:...]" with the file's own
// line end after the leading header tags (at the start without them).
std::string WithLrcOffset(const std::string& bytes, int nOffsetMs);

enum class LrcWriteResult { Written, ReadOnly, Failed };

// Writes the offset into the lyric file at strPath through a temporary file beside it, moved over
// the old one. A read-only file, or one that cannot be read, stays untouched.
LrcWriteResult WriteLrcOffset(const CStringW& strPath, int nOffsetMs);
// Writes bytes to a temporary file in strPath's folder (made when missing) and moves it to
// strPath, over a file there only when bReplace; false (and no temporary left) when any step fails.
bool ReplaceFileWith(const CStringW& strPath, const std::string& bytes, bool bReplace = true);
