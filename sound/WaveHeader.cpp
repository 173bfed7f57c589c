#include "sound/WaveHeader.h"

#include <windows.h>
#include <mmreg.h>

#include <algorithm>
#include <cstring>

#include "framework/Holders.h"

namespace {

// Real files carry a handful of chunks (fact, LIST, bext, JUNK) before their sound.
const int kMaxChunks = 64;

bool Read(const CFileHandle& file, void* p, DWORD nBytes) {
    DWORD nRead = 0;
    return ::ReadFile(file.Get(), p, nBytes, &nRead, nullptr) && nRead == nBytes;
}

bool Skip(const CFileHandle& file, LONGLONG nBytes) {
    LARGE_INTEGER distance;
    distance.QuadPart = nBytes;
    return ::SetFilePointerEx(file.Get(), distance, nullptr, FILE_CURRENT) != FALSE;
}

DWORD Le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<DWORD>(p[3]) << 24);
}

WORD Le16(const unsigned char* p) {
    return static_cast<WORD>(p[0] | (p[1] << 8));
}

bool IsTag(const unsigned char* p, const char* pszTag) {
    return std::memcmp(p, pszTag, 4) == 0;
}

// The fields of a WAVEFORMAT, then wBitsPerSample when the chunk has it.
bool IsPlayableFormat(const unsigned char* pFmt, DWORD nSize) {
    const WORD wTag = Le16(pFmt);
    const bool bSampleFormat =
        wTag == WAVE_FORMAT_PCM || wTag == WAVE_FORMAT_IEEE_FLOAT || wTag == WAVE_FORMAT_EXTENSIBLE;
    if (Le16(pFmt + 2) == 0 || Le32(pFmt + 4) == 0 || Le32(pFmt + 8) == 0 || Le16(pFmt + 12) == 0)
        return false;
    if (!bSampleFormat)
        return true;
    return nSize >= 16 && Le16(pFmt + 14) != 0;
}

}  // namespace

bool IsPlayableWaveFile(const wchar_t* pszPath) {
    const CFileHandle file(::CreateFileW(pszPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    unsigned char riff[12];
    if (!file || !Read(file, riff, sizeof(riff)) || !IsTag(riff, "RIFF") || !IsTag(riff + 8, "WAVE"))
        return false;
    // The device takes the first "fmt " chunk and looks for "data" after it.
    bool bFormat = false;
    for (int i = 0; i < kMaxChunks; ++i) {
        unsigned char head[8];
        if (!Read(file, head, sizeof(head)))
            return false;
        const DWORD nSize = Le32(head + 4);
        if (IsTag(head, "data"))
            return bFormat;
        LONGLONG nSkip = nSize + (nSize & 1);  // chunks are padded to even sizes
        if (!bFormat && IsTag(head, "fmt ")) {
            unsigned char fmt[16];
            const DWORD nRead = std::min<DWORD>(nSize, sizeof(fmt));
            if (nSize < 14 || !Read(file, fmt, nRead) || !IsPlayableFormat(fmt, nSize))
                return false;
            bFormat = true;
            nSkip -= nRead;
        }
        if (!Skip(file, nSkip))
            return false;
    }
    return false;
}
