#include <windows.h>
#include <mmsystem.h>

#include <vector>

#include "lyrics/CDlgLrc.h"
#include "state/PlayerState.h"
#include "tests/bench/BenchClock.h"
#include "tests/bench/band/Sampling.h"

namespace band {

namespace {

const double kSampleMs = 10.0;
// The band's layout: slot texts at the band's own heights, centred on a quarter and three
// quarters.
int SlotY(int nSlot) {
    return g_pDlgLrc->Layout().nSlotY[nSlot];
}

// MCI answers only the thread that opened the device: the sampler asks the player's thread,
// through a window of its own there, between the player's messages.
const UINT WM_READ_DEVICE = WM_APP + 1;

struct DeviceReading {
    DWORD dwPosition;
    double dAt;  // ms, middle of the status call
};

}  // namespace

LRESULT CALLBACK DeviceWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg != WM_READ_DEVICE)
        return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
    auto* pReading = reinterpret_cast<DeviceReading*>(lParam);
    MCI_STATUS_PARMS status = {};
    status.dwItem = MCI_STATUS_POSITION;
    const double dAsked = NowMs();
    const MCIERROR err = ::mciSendCommandA(static_cast<MCIDEVICEID>(wParam), MCI_STATUS, MCI_STATUS_ITEM,
                                           reinterpret_cast<DWORD_PTR>(&status));
    pReading->dAt = (dAsked + NowMs()) / 2;
    pReading->dwPosition = static_cast<DWORD>(status.dwReturn);
    return err == 0;
}

namespace {

// Finds the red edge on the screen and the song position it stands for.
void ReadEdge(const Run& run, const BandCamera& cam, double dNearMs, Sample* s) {
    const std::vector<Line>& lines = *run.pLines;
    const int nHeight = run.shapes.empty() ? 0 : run.shapes[0].nHeight;
    for (int nSlot = 0; nSlot < 2; ++nSlot) {
        const int y0 = SlotY(nSlot);
        int nRight = -1;
        for (int y = y0; y < y0 + nHeight && y < cam.Height(); ++y)
            for (int x = cam.Width() - 1; x > nRight; --x)
                if (IsRed(cam.At(x, y)))
                    nRight = x;
        if (nRight < 0)
            continue;
        int nBest = -1;
        double dBest = 0.5;  // below this the slot shows none of the lines
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].Start() * 10.0 > dNearMs + 4000 || lines[i].nEnd * 10.0 < dNearMs - 4000)
                continue;
            const Shape& shape = run.shapes[i];
            const int x0 =
                nSlot == 0 ? cam.Width() / 4 - shape.nWidth / 2 : cam.Width() - cam.Width() / 4 - shape.nWidth / 2;
            const double d = Match(cam, shape, x0, y0);
            if (d > dBest) {
                dBest = d;
                nBest = static_cast<int>(i);
            }
        }
        if (nBest < 0)
            continue;
        const Shape& shape = run.shapes[static_cast<size_t>(nBest)];
        const int x0 =
            nSlot == 0 ? cam.Width() / 4 - shape.nWidth / 2 : cam.Width() - cam.Width() / 4 - shape.nWidth / 2;
        // The fill covers the red pixel and may reach on up to the next inked column.
        const int nFrom = nRight + 1 - x0;
        int nTo = nFrom;
        while (nTo < shape.nWidth && !shape.columnInk[static_cast<size_t>(nTo)])
            ++nTo;
        const Line& line = lines[static_cast<size_t>(nBest)];
        const double dEdge = (FillTime(line, shape, nFrom) + FillTime(line, shape, nTo)) / 2;
        if (s->nLine < 0 || dEdge > s->dEdge) {
            s->nLine = nBest;
            s->dEdge = dEdge;
            s->nRightRed = nRight;
            s->nSlot = nSlot;
        }
    }
}

}  // namespace

DWORD WINAPI Sampler(void* pParam) {
    Run& run = *static_cast<Run*>(pParam);
    BandCamera cam(run.hBand);
    const double dStart = NowMs();
    for (int k = 0;; ++k) {
        const double dDue = dStart + k * kSampleMs;
        while (NowMs() < dDue)
            ::Sleep(1);
        if (NowMs() - dStart > run.dSeconds * 1000)
            break;
        Sample s = {};
        DeviceReading reading = {};
        if (!::SendMessageW(run.hDeviceWindow, WM_READ_DEVICE, run.wDevice, reinterpret_cast<LPARAM>(&reading)))
            break;  // the song ended
        s.dwDevice = reading.dwPosition;
        s.dDeviceAt = reading.dAt - dStart;
        const double dShot = NowMs();
        cam.Shoot();
        s.dShotAt = (dShot + NowMs()) / 2 - dStart;
        ReadEdge(run, cam, s.dwDevice, &s);
        run.samples.push_back(s);
    }
    ::PostThreadMessageA(run.dwMainThread, WM_QUIT, 0, 0);
    return 0;
}

}  // namespace band
