#include <winternl.h>

#include <utility>

#include "MainWindowFixture.h"

namespace {

// GetGuiResources answers 0 under Wine, so GDI objects are also counted in the process's
// shared GDI handle table (PEB field GdiSharedHandleTable), and USER objects by the windows
// of this thread.
struct GdiHandleEntry {
    UINT64 pKernel;
    USHORT wProcessId;
    USHORT wCount;
    USHORT wUpper;
    UCHAR nType;
    UCHAR nFlags;
    UINT64 pUser;
};
static_assert(sizeof(GdiHandleEntry) == 24, "the table's entry layout");

int LiveGdiHandles() {
    const BYTE* peb = reinterpret_cast<const BYTE*>(NtCurrentTeb()->ProcessEnvironmentBlock);
    const auto* table = *reinterpret_cast<const GdiHandleEntry* const*>(peb + 0xF8);
    if (!table)
        return -1;
    int n = 0;
    for (int i = 0; i < 0x10000; ++i)
        n += table[i].nType != 0;
    return n;
}

BOOL CALLBACK CountChild(HWND, LPARAM lParam) {
    ++*reinterpret_cast<int*>(lParam);
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND hWnd, LPARAM lParam) {
    ++*reinterpret_cast<int*>(lParam);
    ::EnumChildWindows(hWnd, CountChild, lParam);
    return TRUE;
}

struct Counts {
    DWORD dwGdi;
    DWORD dwUser;
    int nGdiTable;
    int nWindows;
    bool operator==(const Counts& o) const {
        return dwGdi == o.dwGdi && dwUser == o.dwUser && nGdiTable == o.nGdiTable && nWindows == o.nWindows;
    }
};

Counts Measure() {
    Counts c = {::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS),
                ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS), LiveGdiHandles(), 0};
    ::EnumThreadWindows(::GetCurrentThreadId(), CountTopLevel, reinterpret_cast<LPARAM>(&c.nWindows));
    return c;
}

std::ostream& operator<<(std::ostream& os, const Counts& c) {
    return os << "GDI " << c.dwGdi << ", USER " << c.dwUser << ", GDI table " << c.nGdiTable << ", windows "
              << c.nWindows;
}

}  // namespace

using LongRun = MainWindow;

TEST_F(LongRun, TenThousandTicksOfEveryTimerGrowNothing) {
    // A lyric file, so the band draws both lines and its fill on every tick.
    ::CreateDirectoryA("Lrc", nullptr);
    WriteFileBytes("Lrc\\long.lrc", "[00:00.00]first line\n[00:02.00]second line\n[00:04.00]third line\n");
    // Longer than the test may run (120 s): on a busy machine the ticks took over 30 s, and a
    // song that ended on the way stopped the decorations the test is there to count.
    StartSong(Wav("long.wav", 150000));
    ASSERT_TRUE(g_bPlaying);
    g_bStartSong = true;
    g_pDlgLrc->SendMessage(WM_TIMER, 1, 0);  // loads the lyrics
    g_bStartSong = false;
    Click(IDC_SHOWLRC);

    auto RunTicks = [&](int n) {
        for (int i = 0; i < n; ++i) {
            for (UINT_PTR timer : {TIMER_SECOND, TIMER_DOTS, TIMER_BARS, TIMER_LRC_POS})
                Tick(timer);
            g_pDlgLrc->SendMessage(WM_TIMER, 1, 0);
            if (i % 500 == 0)
                PumpMessages(1);
        }
        PumpMessages(50);
    };
    // The band makes a text's windows as its lines need them: counted once every line has shown.
    const DWORD dwWarmStart = ::GetTickCount();
    do {
        RunTicks(100);
    } while (DevicePosition() < 4500 && ::GetTickCount() - dwWarmStart < 20000);
    ASSERT_GE(DevicePosition(), 4500u);
    RunTicks(10);
    const Counts first = Measure();
    ASSERT_GT(first.nGdiTable, 0);
    RunTicks(10000);
    const Counts after = Measure();
    EXPECT_EQ(first, after);
    EXPECT_TRUE(g_bPlaying);
}
