#include <windows.h>

#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "framework/Holders.h"
#include "tests/bench/band/Lyrics.h"

namespace band {

// From 3 s on, lines of four to seven words of one to three characters, each word lasting a
// quarter of a second to a second, every line starting as the one before ends; the same every run.
std::vector<Line> MakeLines(int nSeconds) {
    static const wchar_t kChars[] = L"春风轻吹过小河柳枝弯腰看水波燕子衔泥回旧窝田边孩唱新歌一年好景从说明月照山川";
    static const int kLengths[] = {25, 30, 40, 50, 60, 75, 90, 100};
    unsigned seed = 2025;
    const auto next = [&](unsigned n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % n);
    };
    std::vector<Line> lines;
    int t = 300;
    for (;;) {
        Line line;
        const int nWords = 4 + next(4);
        for (int i = 0; i < nWords; ++i) {
            Word word{std::wstring(), t};
            for (int n = 1 + next(3); n > 0; --n)
                word.strText += kChars[next(static_cast<unsigned>(std::size(kChars) - 1))];
            line.words.push_back(word);
            t += kLengths[next(static_cast<unsigned>(std::size(kLengths)))];
        }
        if (t > (nSeconds - 3) * 100)
            break;
        line.nEnd = t;
        lines.push_back(line);
    }
    if (!lines.empty())
        lines.back().nEnd = lines.back().words.back().nStart + 100;
    return lines;
}

namespace {

std::wstring Stamp(int t, wchar_t open, wchar_t close) {
    wchar_t buf[32];
    std::swprintf(buf, 32, L"%lc%02d:%02d.%02d%lc", open, t / 6000, t / 100 % 60, t % 100, close);
    return buf;
}

}  // namespace

bool WriteLyrics(const wchar_t* pszPath, const std::vector<Line>& lines) {
    std::wstring text = L"\xFEFF[ti:band]\r\n[ar:Sonello]\r\n";
    for (const Line& line : lines) {
        text += Stamp(line.Start(), L'[', L']');
        for (const Word& w : line.words)
            text += Stamp(w.nStart, L'<', L'>') + w.strText;
        text += L"\r\n";
    }
    const int n =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], n, nullptr, nullptr);
    const CFilePtr f(::_wfopen(pszPath, L"wb"));
    return f && std::fwrite(utf8.data(), 1, utf8.size(), f.Get()) == utf8.size();
}

}  // namespace band
