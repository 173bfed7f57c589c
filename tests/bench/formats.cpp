// Times the start of a song in-process, by format: CSound::Open, then PlayFromResume until the
// device plays (for Media Foundation, its buffers decoded and queued). The first open of the
// process is shown apart: it loads the decoders.
//   bench_formats.exe <folder holding tone.wav, tone.flac, tone.m4a, tone.opus, tone.ogg, tone.mp3>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "sound/CSound.h"
#include "tests/bench/BenchClock.h"

namespace {

const int kRuns = 9;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_formats <folder>\n");
        return 2;
    }
    const HWND hSink = ::CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    std::printf("%-10s %-28s %12s %12s %12s\n", "song", "played by", "first open", "open ms", "play ms");
    for (const char* name : {"tone.wav", "tone.mp3", "tone.flac", "tone.m4a", "tone.opus", "tone.ogg"}) {
        const CStringW strPath = CStringW::FromGbk(std::string(argv[1]) + "\\" + name);
        std::vector<double> open, play;
        bool bStreaming = false;
        for (int i = 0; i <= kRuns; ++i) {
            const double t0 = NowMs();
            if (CSound::Open(strPath) != CSound::OpenResult::Done || !CSound::m_bOpened) {
                std::printf("%-10s refused\n", name);
                break;
            }
            const double t1 = NowMs();
            CSound::PlayFromResume(hSink);
            const double t2 = NowMs();
            bStreaming = CSound::IsStreaming();
            CSound::Close();
            open.push_back(t1 - t0);
            play.push_back(t2 - t1);
        }
        if (open.size() < 2)
            continue;
        const double dFirst = open.front();
        open.erase(open.begin());
        play.erase(play.begin());
        std::printf("%-10s %-28s %12.1f %12.1f %12.1f\n", name, bStreaming ? "Media Foundation + wave-out" : "MCI",
                    dFirst, Median(open), Median(play));
    }
    std::fflush(stdout);
    ::DestroyWindow(hSink);
    return 0;
}
