#include "sound/WaveHeader.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "sound/CSound.h"
#include "support/TestSupport.h"

namespace {

struct Format {
    uint16_t wTag = 1;
    uint16_t nChannels = 1;
    uint32_t nRate = 8000;
    uint32_t nAvgBytes = 16000;
    uint16_t nAlign = 2;
    uint16_t nBits = 16;
};

std::string Le(uint32_t v, int nBytes) {
    std::string s;
    for (int i = 0; i < nBytes; ++i)
        s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}

std::string Chunk(const char* pszTag, const std::string& body) {
    std::string s = std::string(pszTag, 4) + Le(static_cast<uint32_t>(body.size()), 4) + body;
    return body.size() % 2 ? s + '\0' : s;
}

std::string FormatChunk(const Format& f, size_t nSize = 16) {
    const std::string body = Le(f.wTag, 2) + Le(f.nChannels, 2) + Le(f.nRate, 4) + Le(f.nAvgBytes, 4) +
                             Le(f.nAlign, 2) + Le(f.nBits, 2) + std::string(18, '\0');
    return Chunk("fmt ", body.substr(0, nSize));
}

std::string Riff(const std::string& chunks, const char* pszForm = "WAVE") {
    return "RIFF" + Le(static_cast<uint32_t>(chunks.size() + 4), 4) + pszForm + chunks;
}

const std::string kSound = Chunk("data", std::string(8000, '\0'));

class WaveHeader : public ::testing::Test {
protected:
    bool Check(const std::string& bytes) {
        WriteFileBytes(m_path, bytes);
        return IsPlayableWaveFile(Widen(m_path).c_str());
    }
    void TearDown() override { CSound::Close(); }

    ScratchDir m_dir;
    std::string m_path = m_dir.File("song.wav");
};

TEST_F(WaveHeader, TakesSoundFilesAsRealToolsWriteThem) {
    WriteWav(m_path, 200);
    EXPECT_TRUE(IsPlayableWaveFile(Widen(m_path).c_str()));
    // Chunks before and between, one of odd size with its pad byte, and an 18-byte format.
    EXPECT_TRUE(Check(
        Riff(Chunk("LIST", "INFOISFT\x03\0\0\0ab\0") + FormatChunk(Format(), 18) + Chunk("fact", "abc") + kSound)));
    // A compressed format has no bits per sample to give.
    Format mp3;
    mp3.wTag = 0x55;
    mp3.nBits = 0;
    EXPECT_TRUE(Check(Riff(FormatChunk(mp3, 14) + kSound)));
    // A sound chunk cut short by a broken download is still played as far as it goes.
    EXPECT_TRUE(Check(Riff(FormatChunk(Format())) + "data" + Le(1u << 30, 4) + std::string(100, '\0')));
}

TEST_F(WaveHeader, RefusesZeroesTheDeviceDividesByAndFilesWithoutSound) {
    const auto with = [](auto Format::*field, uint16_t wTag = 1) {
        Format f;
        f.*field = 0;
        f.wTag = wTag;
        return Riff(FormatChunk(f, 18) + kSound);
    };
    const std::string kRefused[] = {
        with(&Format::nChannels),
        with(&Format::nRate),
        with(&Format::nAvgBytes),
        with(&Format::nAlign),
        with(&Format::nBits),
        with(&Format::nBits, 0xFFFE),  // extensible still has samples
        "",
        "RIFF",
        Riff(FormatChunk(Format()) + kSound, "AVI "),
        "RIFX" + Riff(FormatChunk(Format()) + kSound).substr(4),
        Riff(kSound),
        Riff(kSound + FormatChunk(Format())),
        Riff(FormatChunk(Format())),
        Riff(FormatChunk(Format(), 12) + kSound),
        Riff(FormatChunk(Format(), 14) + kSound),  // PCM without its bits
        Riff(FormatChunk(Format()) + Chunk("JUNK", std::string(9000, 'x')).substr(0, 100)),
    };
    for (const std::string& bytes : kRefused)
        EXPECT_FALSE(Check(bytes)) << ::testing::PrintToString(bytes.substr(0, 48));
    EXPECT_FALSE(IsPlayableWaveFile(Widen(m_dir.File("missing.wav")).c_str()));
}

// "waveaudio" opened a file with no channels and divided by zero when it played it.
TEST_F(WaveHeader, OpenRefusesABrokenWaveLikeOneTheDeviceCannotOpen) {
    const std::string good = m_dir.File("good.wav");
    WriteWav(good, 500);
    ASSERT_EQ(CSound::OpenResult::Done, CSound::Open(Widen(good)));
    const MCIDEVICEID old = CSound::m_wDeviceID;
    Format f;
    f.nChannels = 0;
    WriteFileBytes(m_path, Riff(FormatChunk(f) + kSound));
    CSound::m_seek.dwTo = 300;
    EXPECT_EQ(CSound::OpenResult::Refused, CSound::Open(Widen(m_path)));
    EXPECT_FALSE(CSound::m_bOpened);
    EXPECT_EQ(0u, CSound::m_wDeviceID);
    EXPECT_EQ(0u, CSound::m_seek.dwTo);
    EXPECT_NE(0, ::mciSendCommandA(old, MCI_PLAY, 0, 0)) << "the old device is closed";
}

}  // namespace
