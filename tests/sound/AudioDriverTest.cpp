#include "sound/AudioDriver.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>

#include "sound/CSound.h"

namespace {

HANDLE g_hInside = nullptr;  // the load has begun
HANDLE g_hGo = nullptr;      // the load may go on
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
    CSound::Open("Z:\\nowhere\\missing.mp3");
    g_bOpened = true;
    return 0;
}

}  // namespace

// The mixer and MCI wait for a load under way on another thread rather than start their own
// beside it: the first uses of Wine's winmm on two threads at once crash the process.
TEST(AudioDriver, MixerAndMciWaitForALoadUnderWay) {
    g_hInside = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    g_hGo = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetAudioDriverLoadingHook([] {
        ::SetEvent(g_hInside);
        ::WaitForSingleObject(g_hGo, 10000);
    });
    HANDLE hLoader = ::CreateThread(nullptr, 0, Load, nullptr, 0, nullptr);
    const HANDLE started[] = {g_hInside, hLoader};
    if (::WaitForMultipleObjects(2, started, FALSE, 10000) != WAIT_OBJECT_0) {
        SetAudioDriverLoadingHook(nullptr);
        GTEST_SKIP() << "the driver was loaded by an earlier test of this process";
    }
    HANDLE users[] = {::CreateThread(nullptr, 0, ReadVolume, nullptr, 0, nullptr),
                      ::CreateThread(nullptr, 0, OpenSong, nullptr, 0, nullptr)};
    ::Sleep(300);
    EXPECT_FALSE(g_bVolumeRead) << "the volume was read beside the load";
    EXPECT_FALSE(g_bOpened) << "MCI opened a device beside the load";
    ::SetEvent(g_hGo);
    ::WaitForMultipleObjects(2, users, TRUE, 10000);
    ::WaitForSingleObject(hLoader, 10000);
    EXPECT_TRUE(g_bVolumeRead);
    EXPECT_TRUE(g_bOpened);
    SetAudioDriverLoadingHook(nullptr);
    for (HANDLE h : {hLoader, users[0], users[1], g_hInside, g_hGo})
        ::CloseHandle(h);
}
