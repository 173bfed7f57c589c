#include "sound/AudioDriver.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>

#include "framework/Holders.h"
#include "sound/CSound.h"

namespace {

CHandle g_inside;  // the load has begun
CHandle g_go;      // the load may go on
std::atomic<bool> g_bVolumeRead{false};
std::atomic<bool> g_bOpened{false};

DWORD WINAPI Load(void*) {
    LoadAudioDriver();
    return 0;
}

DWORD WINAPI ReadVolume(void*) {
    theSound.GetVolume();
    g_bVolumeRead = true;
    return 0;
}

DWORD WINAPI OpenSong(void*) {
    CSound::Open(L"Z:\\nowhere\\missing.mp3");
    g_bOpened = true;
    return 0;
}

}  // namespace

// The mixer and MCI wait for a load under way on another thread rather than start their own
// beside it: the first uses of Wine's winmm on two threads at once crash the process.
TEST(AudioDriver, MixerAndMciWaitForALoadUnderWay) {
    g_inside.Reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    g_go.Reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    SetAudioDriverLoadingHook([] {
        ::SetEvent(g_inside.Get());
        ::WaitForSingleObject(g_go.Get(), 10000);
    });
    const CHandle loader(::CreateThread(nullptr, 0, Load, nullptr, 0, nullptr));
    const HANDLE started[] = {g_inside.Get(), loader.Get()};
    if (::WaitForMultipleObjects(2, started, FALSE, 10000) != WAIT_OBJECT_0) {
        SetAudioDriverLoadingHook(nullptr);
        GTEST_SKIP() << "the driver was loaded by an earlier test of this process";
    }
    const CHandle reader(::CreateThread(nullptr, 0, ReadVolume, nullptr, 0, nullptr));
    const CHandle opener(::CreateThread(nullptr, 0, OpenSong, nullptr, 0, nullptr));
    ::Sleep(300);
    EXPECT_FALSE(g_bVolumeRead) << "the volume was read beside the load";
    EXPECT_FALSE(g_bOpened) << "MCI opened a device beside the load";
    ::SetEvent(g_go.Get());
    for (const CHandle* pThread : {&reader, &opener, &loader})
        ::WaitForSingleObject(pThread->Get(), 10000);
    EXPECT_TRUE(g_bVolumeRead);
    EXPECT_TRUE(g_bOpened);
    SetAudioDriverLoadingHook(nullptr);
}
