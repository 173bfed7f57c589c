// Turns the raw bytes of a lyric file into GBK text lines. LRC files come from many editors:
// GBK, UTF-8 with or without BOM, UTF-16 with BOM; everything after this point is GBK.
#pragma once

#include <cstring>
#include <string>

enum class LrcEncoding { Gbk, Utf8, Utf8Bom, Utf16Le, Utf16Be };

// Well-formed UTF-8 (no overlongs, no surrogates, nothing past U+10FFFF).
bool IsValidUtf8(const char* p, size_t n);
// A BOM decides; otherwise valid UTF-8 holding at least one multi-byte character is UTF-8,
// and anything else is taken to be GBK already.
LrcEncoding DetectLrcEncoding(const std::string& bytes);
// The file's text in GBK; characters GBK lacks become '?'.
std::string LrcBytesToGbk(const std::string& bytes);
// Calls f(pLine, nLength) for each of the file's lines: CR LF, LF and a lone CR end a line,
// Ctrl-Z ends the file, and a NUL ends its line as it ends a C string. A last line without a line
// end still counts.
template <typename F>
void ForEachLrcLine(const std::string& text, F f) {
    size_t end = text.find('\x1A');
    if (end == std::string::npos)
        end = text.size();
    size_t start = 0;
    while (start < end) {
        size_t stop = text.find_first_of("\r\n", start);
        if (stop == std::string::npos || stop > end)
            stop = end;
        // CR LF, LF and a lone CR (old Mac editors) each end one line.
        size_t next = stop + 1;
        if (stop + 1 < end && text[stop] == '\r' && text[stop + 1] == '\n')
            next = stop + 2;
        const void* nul = std::memchr(text.data() + start, '\0', stop - start);
        if (nul)
            stop = static_cast<size_t>(static_cast<const char*>(nul) - text.data());
        f(text.data() + start, stop - start);
        start = next;
    }
}
