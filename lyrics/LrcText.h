// Turns the raw bytes of a lyric file into UTF-16 text lines. LRC files come from many editors:
// GBK, UTF-8 with or without BOM, UTF-16 with BOM; everything after this point is UTF-16.
#pragma once

#include <string>

#include "framework/CStringW.h"  // IsValidUtf8, which decides between UTF-8 and GBK

enum class LrcEncoding { Gbk, Utf8, Utf8Bom, Utf16Le, Utf16Be };

// A BOM decides; otherwise valid UTF-8 holding at least one multi-byte character is UTF-8,
// and anything else is taken to be GBK.
LrcEncoding DetectLrcEncoding(const std::string& bytes);
// The file's text in UTF-16, every character kept. GBK is read by whole characters: a lead byte
// without its trail byte becomes U+FFFD and takes nothing with it, so a line end or a bracket
// after it stays. Broken UTF-8 and lone UTF-16 surrogates become U+FFFD too.
std::wstring LrcBytesToText(const std::string& bytes);
// Calls f(pLine, nLength) for each of the text's lines: CR LF, LF and a lone CR end a line,
// Ctrl-Z ends the text, and a NUL ends its line as it ends a C string. A last line without a line
// end still counts. For UTF-16 text, and for bytes (UTF-8) when only the line ends matter.
template <typename Ch, typename F>
void ForEachLrcLine(const std::basic_string<Ch>& text, F f) {
    const Ch kEnds[] = {Ch('\r'), Ch('\n'), Ch(0)};
    size_t end = text.find(Ch(0x1A));
    if (end == std::basic_string<Ch>::npos)
        end = text.size();
    size_t start = 0;
    while (start < end) {
        size_t stop = text.find_first_of(kEnds, start);
        if (stop == std::basic_string<Ch>::npos || stop > end)
            stop = end;
        // CR LF, LF and a lone CR (old Mac editors) each end one line.
        size_t next = stop + 1;
        if (stop + 1 < end && text[stop] == Ch('\r') && text[stop + 1] == Ch('\n'))
            next = stop + 2;
        const Ch* pNul = std::char_traits<Ch>::find(text.data() + start, stop - start, Ch(0));
        if (pNul)
            stop = static_cast<size_t>(pNul - text.data());
        f(text.data() + start, stop - start);
        start = next;
    }
}
