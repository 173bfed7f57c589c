// Samples the device position and the band's red edge side by side on a thread of their own,
// so that the player's thread only plays and draws, as it does for a user.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <vector>

#include "tests/bench/band/Lyrics.h"
#include "tests/bench/band/Screen.h"

namespace band {

struct Sample {
    double dDeviceAt;  // ms, middle of the status call
    DWORD dwDevice;
    double dShotAt;    // ms, middle of the screen copy
    int nLine = -1;    // the line whose red shows, -1 for no red
    double dEdge = 0;  // the song position the edge stands for, ms
    int nRightRed = -1;
    int nSlot = -1;
};

struct Run {
    const std::vector<Line>* pLines;
    std::vector<Shape> shapes;
    HWND hBand;
    HWND hDeviceWindow;
    MCIDEVICEID wDevice;
    double dSeconds;
    DWORD dwMainThread;
    std::vector<Sample> samples;
};

LRESULT CALLBACK DeviceWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
DWORD WINAPI Sampler(void* pParam);

}  // namespace band
