// A Windows without Media Foundation (the N editions), as Wine shows it with mfplat switched
// off (tests/CMakeLists.txt): the new formats are refused, and the sound device still plays.
#include <gtest/gtest.h>

#include "sound/CSound.h"
#include "support/TestSupport.h"

TEST(NoMediaFoundation, TheNewFormatsAreRefusedAndMp3StillPlays) {
    ASSERT_EQ(nullptr, ::LoadLibraryW(L"mfplat.dll")) << "Media Foundation is there: the test bed is wrong";
    for (const char* name : {"stream/tone.flac", "stream/tone.m4a", "stream/tone.opus"}) {
        EXPECT_EQ(CSound::OpenResult::Refused, CSound::Open(Widen(BuildDataPath(name)))) << name;
        EXPECT_FALSE(CSound::m_bOpened);
    }
    ASSERT_EQ(CSound::OpenResult::Done, CSound::Open(Widen(BuildDataPath("tone.mp3"))));
    EXPECT_FALSE(CSound::IsStreaming());
    CSound::Close();
}
