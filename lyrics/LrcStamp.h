// Time stamps as lyric files write them: [m:ss], [mm:ss.f], [mm:ss.ff], [mm:ss.fff], [mm:ss:ff]
// (a colon before the hundredths), [h:mm:ss.ff] (hours only with a '.' fraction), a comma for
// the '.', spaces just inside the brackets, minutes past 59 and a leading '-'. Word timings use
// the same forms in angle brackets: <mm:ss.ff>.
#pragma once

#include <string>

#include "framework/CString.h"

struct LrcStamp {
    CString strKey;      // the start time written with "%.2f"; a zero is always "0.00"
    double dTime = 0.0;  // the key read back
};

// Reads the stamp that opens at s[at], '[' closed by ']' or '<' closed by '>'. Returns its
// length in code units, or 0 when what stands there is not a stamp (a header tag, text in brackets).
size_t ReadLrcStamp(const std::wstring& s, size_t at, LrcStamp& stamp);
