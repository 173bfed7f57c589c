// Times the lyric timeline on a 5,000-line LRC file in the current directory: loading it (also
// word-timed, and as UTF-8), the lookups the band makes on one 200 ms tick, and a whole band tick
// with its drawing, also with each line's translation beneath it.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "framework/Holders.h"
#include "lyrics/CDlgLrc.h"
#include "lyrics/CLyc.h"
#include "res/resource.h"
#include "state/PlayerState.h"
#include "tests/bench/BenchClock.h"

namespace {

const int kLines = 5000;
const int kLoadRuns = 9;
const int kLookupRounds = 20000;
const int kTicks = 200;

// Median of several runs of f, in ms.
double Median(int nRuns, const std::function<void()>& f) {
    std::vector<double> ms;
    for (int i = 0; i < nRuns; ++i) {
        const double start = NowMs();
        f();
        ms.push_back(NowMs() - start);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

void Report(const char* pszWhat, double dMs, double dTargetMs) {
    if (dTargetMs > 0)
        std::printf("%-46s %10.4f ms   target < %g ms   %s\n", pszWhat, dMs, dTargetMs,
                    dMs < dTargetMs ? "ok" : "OVER");
    else
        std::printf("%-46s %10.4f ms\n", pszWhat, dMs);
    std::fflush(stdout);
}

// A time as files write it, in square or angle brackets.
std::string Stamp(double t, char open, char close) {
    char buf[32];
    const int nMinutes = static_cast<int>(t / 60);
    std::snprintf(buf, sizeof(buf), "%c%02d:%05.2f%c", open, nMinutes, t - nMinutes * 60, close);
    return buf;
}

// A song of kLines lines, one every 0.7 s, a few sharing times, in GBK as most files are;
// word-timed, each line's four words get their own stamps; translated, each line is followed by
// its translation with the same stamp.
std::string MakeLrc(bool bWords, bool bTranslated = false) {
    std::string lrc = "[ti:基准测试]\r\n[ar:Sonello]\r\n[al:五千行]\r\n[by:bench]\r\n[offset:0]\r\n";
    char line[128];
    for (int i = 0; i < kLines; ++i) {
        const double t = i * 0.7;
        if (bWords) {
            std::snprintf(line, sizeof(line), "第%d行歌词，", i);
            lrc += Stamp(t, '[', ']') + line + Stamp(t + 0.2, '<', '>') + "我爱你" + Stamp(t + 0.4, '<', '>') +
                   "有几分 " + Stamp(t + 0.5, '<', '>') + "la la la\r\n";
        } else {
            std::snprintf(line, sizeof(line), "第%d行歌词，我爱你有几分 la la la\r\n", i);
            lrc += Stamp(t, '[', ']') + line;
        }
        if (bTranslated) {
            std::snprintf(line, sizeof(line), "line %d of the lyrics, how much I love you\r\n", i);
            lrc += Stamp(t, '[', ']') + line;
        }
        if (i % 50 == 0)
            lrc += "\r\n";
    }
    return lrc;
}

void WriteFile(const char* pszPath, const std::string& bytes) {
    const CFilePtr f(std::fopen(pszPath, "wb"));
    if (f)
        std::fwrite(bytes.data(), 1, bytes.size(), f.Get());
}

// The same text as UTF-8 with a BOM, to time the conversion as well.
std::string ToUtf8Bom(const std::string& gbk) {
    const int nWide = ::MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(nWide), L'\0');
    ::MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), &wide[0], nWide);
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), nWide, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), nWide, &utf8[0], n, nullptr, nullptr);
    return "\xEF\xBB\xBF" + utf8;
}

// A whole tick of the band, its lookups and its drawing on a shown band, on plain and on
// translated word-timed lyrics; false when the translated file did not load whole.
bool MeasureBandTicks(double dMiddle) {
    // Plain lyrics.
    g_lyc.Load(L"Lrc\\bench.lrc");
    g_strSongPath = L"D:\\音乐\\bench.mp3";
    g_bPlaying = true;
    g_nLrcPos = static_cast<DWORD>(dMiddle * 1000);
    CDlgLrc band;
    band.Create(IDD_LRC, nullptr);
    band.Model().State().bLrcLoaded = true;
    const double dTickStart = NowMs();
    for (int i = 0; i < kTicks; ++i)
        band.SendMessage(WM_TIMER, 1);
    Report("one whole band tick with drawing (average)", (NowMs() - dTickStart) / kTicks, 0);

    // The same with word-timed originals over their translations.
    g_lyc.Load(L"Lrc\\bench-translated.lrc");
    g_strSongPath = L"D:\\音乐\\bench-translated.mp3";
    if (!g_lyc.IsLoaded() || g_lyc.Translations().size() != kLines) {
        std::printf("the translations did not load whole\n");
        return false;
    }
    const double dTranslatedStart = NowMs();
    for (int i = 0; i < kTicks; ++i)
        band.SendMessage(WM_TIMER, 1);
    Report("band tick, word-timed and translated (average)", (NowMs() - dTranslatedStart) / kTicks, 0);
    return true;
}

}  // namespace

int main() {
    ::CreateDirectoryA("Lrc", nullptr);
    const std::string lrc = MakeLrc(false);
    const std::string lrcWords = MakeLrc(true);
    WriteFile("Lrc\\bench.lrc", lrc);
    WriteFile("Lrc\\bench-utf8.lrc", ToUtf8Bom(lrc));
    WriteFile("Lrc\\bench-words.lrc", lrcWords);
    WriteFile("Lrc\\bench-translated.lrc", MakeLrc(true, true));
    std::printf("%d lines, %zu bytes (word-timed: %zu bytes)\n", kLines, lrc.size(), lrcWords.size());

    CLyc lyc;
    Report("Load, word-timed GBK (median)", Median(kLoadRuns, [&] { lyc.Load(L"Lrc\\bench-words.lrc"); }), 10);
    if (!lyc.IsLoaded() || lyc.WordLists().size() != kLines) {
        std::printf("the word timings did not load whole\n");
        return 1;
    }
    Report("Load, UTF-8 with BOM (median)", Median(kLoadRuns, [&] { lyc.Load(L"Lrc\\bench-utf8.lrc"); }), 10);
    Report("Load, GBK (median)", Median(kLoadRuns, [&] { lyc.Load(L"Lrc\\bench.lrc"); }), 10);
    if (!lyc.IsLoaded() || lyc.Times().size() != kLines) {
        std::printf("the timeline did not load whole\n");
        return 1;
    }

    // One tick's lookups in the middle of the song, where each scan runs half the array.
    const double dMiddle = (lyc.FirstTime() + lyc.LastTime()) / 2;
    size_t nSink = 0;
    const double dStart = NowMs();
    for (int i = 0; i < kLookupRounds; ++i) {
        const double dPos = dMiddle + (i % 7) * 0.1;
        nSink += lyc.GetCurrentLine(dPos).GetLength();
        nSink += lyc.GetNextLine().GetLength();
        nSink += static_cast<size_t>(lyc.GetLineDuration(dPos));
    }
    Report("one tick's lookups (average)", (NowMs() - dStart) / kLookupRounds, 0.01);

    if (!MeasureBandTicks(dMiddle))
        return 1;
    std::printf("(checksum %zu)\n", nSink);
    return 0;
}
