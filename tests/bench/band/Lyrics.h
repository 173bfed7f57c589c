// The word-timed song the band bench plays: the same lines every run, so that a red edge read
// off the screen can be turned back into the song position the band meant.
#pragma once

#include <string>
#include <vector>

namespace band {

struct Word {
    std::wstring strText;
    int nStart;  // hundredths of a second
};

struct Line {
    std::vector<Word> words;
    int nEnd;  // when its last word ends: the next line's start, or a second after it for the last
    int Start() const { return words.front().nStart; }
    std::wstring Text() const {
        std::wstring s;
        for (const Word& w : words)
            s += w.strText;
        return s;
    }
};

std::vector<Line> MakeLines(int nSeconds);
bool WriteLyrics(const wchar_t* pszPath, const std::vector<Line>& lines);

}  // namespace band
