// Times the tag readers as the band calls them at a song's start, on large files made in the
// current directory: each must be read by its headers, never through its sound or pictures.
// Figures are with the files in the system's cache, as right after they were written.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "framework/Holders.h"
#include "tags/SongTags.h"
#include "tests/bench/BenchClock.h"
#include "tests/support/SongFileBytes.h"

namespace {

const int kRuns = 9;
const char kLyrics[] = "LYRICS=[00:01.00]one\n[00:02.00]two";

// The head, then nothing up to nGap bytes further (a sparse stretch standing for the sound),
// then the tail.
bool WriteSong(const wchar_t* pszName, const std::string& head, uint64_t nGap, const std::string& tail) {
    CFileHandle file(::CreateFileW(pszName, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD dw = 0;
    LARGE_INTEGER pos;
    pos.QuadPart = static_cast<LONGLONG>(head.size() + nGap);
    return file && ::WriteFile(file.Get(), head.data(), static_cast<DWORD>(head.size()), &dw, nullptr) &&
           ::SetFilePointerEx(file.Get(), pos, nullptr, FILE_BEGIN) &&
           ::WriteFile(file.Get(), tail.data(), static_cast<DWORD>(tail.size()), &dw, nullptr);
}

void Measure(const char* pszWhat, const wchar_t* pszName) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    ::GetFileAttributesExW(pszName, GetFileExInfoStandard, &data);
    std::vector<double> ms;
    std::string lyrics;
    for (int i = 0; i < kRuns; ++i) {
        const double start = NowMs();
        ReadEmbeddedLyrics(pszName, lyrics);
        ms.push_back(NowMs() - start);
    }
    std::sort(ms.begin(), ms.end());
    const double dMb = (double(data.nFileSizeHigh) * 4294967296.0 + data.nFileSizeLow) / (1024 * 1024);
    std::printf("%-52s %7.0f MB %9.3f ms%s\n", pszWhat, dMb, ms[ms.size() / 2],
                lyrics.empty() ? "   LYRICS NOT FOUND" : "");
    std::fflush(stdout);
}

}  // namespace

int main() {
    using namespace song_bytes;
    const uint64_t kSound = 300ull * 1024 * 1024;
    const std::string picture(15 * 1024 * 1024, 'P');
    std::printf("median of %d reads of the embedded lyrics\n", kRuns);

    // GStreamer and many encoders write moov after the sound.
    const std::string m4a = M4a({{"\251lyr", kLyrics + 7}});
    const size_t nMdat = m4a.find("mdat") - 4;
    const size_t nMoov = m4a.find("moov") - 4;
    const std::string mdat = BigEndian32(1) + "mdat" + BigEndian32(0) + BigEndian32(uint32_t(kSound + 16));
    if (WriteSong(L"big.m4a", m4a.substr(0, nMdat) + mdat, kSound, m4a.substr(nMoov)))
        Measure("M4A, 300 MB of sound before moov", L"big.m4a");

    // Unsynchronised before 2.4: the whole tag is read to undo it.
    std::string mp3 = Id3v23({{"APIC", picture}, {"USLT", std::string("\3eng\0", 5) + (kLyrics + 7)}});
    mp3[5] = '\x80';
    if (WriteSong(L"big.mp3", mp3, kSound, "\xFF\xFB"))
        Measure("MP3, 15 MB cover in an unsynchronised ID3v2.3 tag", L"big.mp3");
    mp3[5] = '\0';
    if (WriteSong(L"plain.mp3", mp3, kSound, "\xFF\xFB"))
        Measure("MP3, the same cover in a plain ID3v2.3 tag", L"plain.mp3");

    const std::string ogg = OggVorbis({"METADATA_BLOCK_PICTURE=" + picture, kLyrics});
    if (WriteSong(L"big.ogg", ogg, kSound, "OggS"))
        Measure("Ogg Vorbis, 15 MB picture comment over 240 pages", L"big.ogg");

    const std::string flac = Flac({"DESCRIPTION=" + picture, kLyrics});
    if (WriteSong(L"big.flac", flac, kSound, "\xFF\xF8"))
        Measure("FLAC, lyrics after a 15 MB comment", L"big.flac");
    return 0;
}
