// A millisecond clock for the benchmarks.
#pragma once

#include <windows.h>

inline double NowMs() {
    static const LARGE_INTEGER s_frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(s_frequency.QuadPart);
}
