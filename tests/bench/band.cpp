// The lyric band against the sound device. The real main window plays a word-timed song in this
// process with the band shown, as a user would have it, while a second thread every 10 ms reads
// the device position and takes the band off the screen (what the user sees, not what was
// drawn), each stamped with the performance counter. MCI answers only the thread that opened
// the device, so the position is asked for on the player's thread, between its own messages.
//
//   bench_band lyrics <file.lrc> <song seconds>
//       writes the word-timed lyrics of a song that long
//   bench_band edge <song> <song seconds> <seconds>
//       writes the song's lyrics as Lrc\<name>.lrc, plays it and samples that many seconds;
//       with SONELLO_BENCH_SAMPLES naming a file, every sample is written there
//   bench_band alone <song> <seconds>
//       plays the song through the main window with the band's timers stopped, for that long:
//       the player with a band that costs nothing, for the CPU figures
//
// The red edge is the rightmost red pixel of the slot that shows red; which lyric line stands
// in that slot is found by matching the slot's ink against each line drawn in the band's font.
// The edge stands for a song position: the moment that line's fill reaches it, by the fill's own
// rule (each word's share of its time), taking the middle of the moments that leave that same
// pixel the rightmost red one (a gap between characters shows no red). No red at all while the
// device is in a line means the band has not begun it: the edge stands before its first ink.
//
// The device gives its position in steps: "waveaudio" under Wine in buffers of a third of a
// second, "mpegvideo" nearly every millisecond. The device position of a moment is therefore
// its last step carried forward at the song's speed to that moment; a step is taken to have
// happened halfway between the samples around it when it is larger than the time between them,
// at the sample that saw it otherwise.
#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/CSonelloDlg.h"
#include "framework/CDC.h"
#include "framework/CFont.h"
#include "framework/CGdiObject.h"
#include "framework/Holders.h"
#include "lyrics/CDlgLrc.h"
#include "res/resource.h"
#include "sound/CSound.h"
#include "state/PlayerState.h"
#include "tests/bench/BenchClock.h"

namespace {

const double kSampleMs = 10.0;
// The band's layout: slot texts at the band's own heights, centred on a quarter and three
// quarters.
int SlotY(int nSlot) {
    return g_pDlgLrc->Layout().nSlotY[nSlot];
}

// ---- the song's lyrics ----------------------------------------------------------------------

struct Word {
    std::wstring strText;
    int nStart;  // hundredths of a second
};

struct Line {
    std::vector<Word> words;
    int nEnd;  // when its last word ends: the next line's start, or a second after it for the last
    int Start() const { return words.front().nStart; }
    std::wstring Text() const {
        std::wstring s;
        for (const Word& w : words)
            s += w.strText;
        return s;
    }
};

// From 3 s on, lines of four to seven words of one to three characters, each word lasting a
// quarter of a second to a second, every line starting as the one before ends; the same every run.
std::vector<Line> MakeLines(int nSeconds) {
    static const wchar_t kChars[] = L"春风轻吹过小河柳枝弯腰看水波燕子衔泥回旧窝田边孩唱新歌一年好景从说明月照山川";
    static const int kLengths[] = {25, 30, 40, 50, 60, 75, 90, 100};
    unsigned seed = 2025;
    const auto next = [&](unsigned n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % n);
    };
    std::vector<Line> lines;
    int t = 300;
    for (;;) {
        Line line;
        const int nWords = 4 + next(4);
        for (int i = 0; i < nWords; ++i) {
            Word word{std::wstring(), t};
            for (int n = 1 + next(3); n > 0; --n)
                word.strText += kChars[next(static_cast<unsigned>(std::size(kChars) - 1))];
            line.words.push_back(word);
            t += kLengths[next(static_cast<unsigned>(std::size(kLengths)))];
        }
        if (t > (nSeconds - 3) * 100)
            break;
        line.nEnd = t;
        lines.push_back(line);
    }
    if (!lines.empty())
        lines.back().nEnd = lines.back().words.back().nStart + 100;
    return lines;
}

std::wstring Stamp(int t, wchar_t open, wchar_t close) {
    wchar_t buf[32];
    std::swprintf(buf, 32, L"%lc%02d:%02d.%02d%lc", open, t / 6000, t / 100 % 60, t % 100, close);
    return buf;
}

bool WriteLyrics(const wchar_t* pszPath, const std::vector<Line>& lines) {
    std::wstring text = L"\xFEFF[ti:band]\r\n[ar:Sonello]\r\n";
    for (const Line& line : lines) {
        text += Stamp(line.Start(), L'[', L']');
        for (const Word& w : line.words)
            text += Stamp(w.nStart, L'<', L'>') + w.strText;
        text += L"\r\n";
    }
    const int n =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], n, nullptr, nullptr);
    const CFilePtr f(::_wfopen(pszPath, L"wb"));
    return f && std::fwrite(utf8.data(), 1, utf8.size(), f.Get()) == utf8.size();
}

// ---- the lines as the band draws them --------------------------------------------------------

// One line in the band's font: its width, where each word starts, and its ink.
struct Shape {
    int nWidth = 0;
    int nHeight = 0;
    std::vector<int> arrWordX;
    std::vector<uint8_t> ink;        // nWidth x nHeight, 1 where the text has ink
    std::vector<uint8_t> columnInk;  // 1 for a column with ink
    bool Ink(int x, int y) const { return ink[static_cast<size_t>(y) * nWidth + x] != 0; }
};

Shape ShapeOf(const Line& line) {
    Shape shape;
    CFont font;
    font.CreatePointFont(280, "宋体");
    CClientDC screen(nullptr);
    CDC mem;
    mem.CreateCompatibleDC(screen);
    const CSelectScope selFont(mem, font);
    const std::wstring text = line.Text();
    SIZE size = {};
    ::GetTextExtentPoint32W(mem, text.c_str(), static_cast<int>(text.size()), &size);
    TEXTMETRICW tm = {};
    ::GetTextMetricsW(mem, &tm);
    shape.nWidth = size.cx;
    shape.nHeight = tm.tmHeight;
    size_t nChars = 0;
    for (const Word& w : line.words) {
        SIZE before = {};
        ::GetTextExtentPoint32W(mem, text.c_str(), static_cast<int>(nChars), &before);
        shape.arrWordX.push_back(before.cx);
        nChars += w.strText.size();
    }

    BITMAPINFO bmi = {};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), shape.nWidth, -shape.nHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* pBits = nullptr;
    CGdiObject dib;
    dib.Attach(::CreateDIBSection(screen, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0));
    const CSelectScope selBitmap(mem, dib.GetSafeHandle());
    const RECT rc = {0, 0, shape.nWidth, shape.nHeight};
    ::FillRect(mem, &rc, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SetBkMode(mem, TRANSPARENT);
    ::SetTextColor(mem, RGB(0, 0, 255));
    ::TextOutW(mem, 0, 0, text.c_str(), static_cast<int>(text.size()));
    ::GdiFlush();
    const auto* px = static_cast<const uint32_t*>(pBits);
    shape.ink.resize(static_cast<size_t>(shape.nWidth) * shape.nHeight);
    shape.columnInk.assign(static_cast<size_t>(shape.nWidth), 0);
    for (int y = 0; y < shape.nHeight; ++y) {
        for (int x = 0; x < shape.nWidth; ++x) {
            const uint32_t v = px[static_cast<size_t>(y) * shape.nWidth + x] & 0xFFFFFF;
            const bool bInk = (v >> 16) < 0xC0;  // blue text on white: red falls where ink is
            shape.ink[static_cast<size_t>(y) * shape.nWidth + x] = bInk;
            shape.columnInk[static_cast<size_t>(x)] |= bInk;
        }
    }
    return shape;
}

// The moment (ms) a word-timed line's fill reaches nRed pixels, as the band fills it: a word's
// pixels in proportion to its time, the last word until the line's end.
double FillTime(const Line& line, const Shape& shape, double dRed) {
    for (size_t k = 0; k < line.words.size(); ++k) {
        const int nLeft = shape.arrWordX[k];
        const int nRight = k + 1 < line.words.size() ? shape.arrWordX[k + 1] : shape.nWidth;
        const double dStart = line.words[k].nStart * 10.0;
        const double dEnd = (k + 1 < line.words.size() ? line.words[k + 1].nStart : line.nEnd) * 10.0;
        if (dRed <= nRight || k + 1 == line.words.size()) {
            const double dShare = nRight > nLeft ? (dRed - nLeft) / (nRight - nLeft) : 1.0;
            return dStart + std::min(1.0, std::max(0.0, dShare)) * (dEnd - dStart);
        }
    }
    return line.Start() * 10.0;
}

// ---- the screen over the band ---------------------------------------------------------------

bool IsRed(uint32_t v) {
    return ((v >> 16) & 0xFF) >= 160 && ((v >> 8) & 0xFF) <= 90 && (v & 0xFF) <= 90;
}

// Text of the band is blue or red or a blend of them; the desktop behind it is grey or black.
bool IsInk(uint32_t v) {
    const int r = (v >> 16) & 0xFF, g = (v >> 8) & 0xFF, b = v & 0xFF;
    return std::max({r, g, b}) - std::min({r, g, b}) > 80;
}

class BandCamera {
public:
    explicit BandCamera(HWND hBand) : m_screen(nullptr) {
        ::GetWindowRect(hBand, &m_rc);
        m_rc.bottom = std::min<LONG>(m_rc.bottom, ::GetSystemMetrics(SM_CYSCREEN));  // cut at the screen's edge
        m_nWidth = m_rc.right - m_rc.left;
        m_nHeight = m_rc.bottom - m_rc.top;
        BITMAPINFO bmi = {};
        bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), m_nWidth, -m_nHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* pBits = nullptr;
        m_dib.Attach(::CreateDIBSection(m_screen, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0));
        m_pBits = static_cast<const uint32_t*>(pBits);
        m_mem.CreateCompatibleDC(m_screen);
        m_pSelected = std::make_unique<CSelectScope>(m_mem, m_dib.GetSafeHandle());
    }
    void Shoot() {
        ::BitBlt(m_mem, 0, 0, m_nWidth, m_nHeight, m_screen, m_rc.left, m_rc.top, SRCCOPY);
        ::GdiFlush();
    }
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    uint32_t At(int x, int y) const { return m_pBits[static_cast<size_t>(y) * m_nWidth + x]; }

private:
    RECT m_rc = {};
    int m_nWidth = 0;
    int m_nHeight = 0;
    CClientDC m_screen;
    CDC m_mem;
    CGdiObject m_dib;
    const uint32_t* m_pBits = nullptr;
    std::unique_ptr<CSelectScope> m_pSelected;
};

// ---- sampling --------------------------------------------------------------------------------

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

// MCI answers only the thread that opened the device: the sampler asks the player's thread,
// through a window of its own there, between the player's messages.
const UINT WM_READ_DEVICE = WM_APP + 1;

struct DeviceReading {
    DWORD dwPosition;
    double dAt;  // ms, middle of the status call
};

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

// Share of the pixels inked in the line or on the screen that are inked in both.
double Match(const BandCamera& cam, const Shape& shape, int x0, int y0) {
    int both = 0, either = 0;
    for (int y = 0; y < shape.nHeight && y0 + y < cam.Height(); ++y) {
        for (int x = 0; x < shape.nWidth; ++x) {
            const int bx = x0 + x;
            if (bx < 0 || bx >= cam.Width())
                continue;
            const bool bScreen = IsInk(cam.At(bx, y0 + y));
            const bool bLine = shape.Ink(x, y);
            both += bScreen && bLine;
            either += bScreen || bLine;
        }
    }
    return either ? static_cast<double>(both) / either : 0.0;
}

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

// ---- figures ---------------------------------------------------------------------------------

double Quantile(std::vector<double> v, double q) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(q * v.size()))];
}

void Report(const Run& run, const char* pszSong) {
    const std::vector<Sample>& ss = run.samples;
    const std::vector<Line>& lines = *run.pLines;
    // The device's steps, each placed where it most likely happened.
    std::vector<double> arrStepAt, arrStepPos, arrStepSize, arrStepGap, arrInterval;
    for (size_t i = 0; i < ss.size(); ++i) {
        if (i > 0)
            arrInterval.push_back(ss[i].dDeviceAt - ss[i - 1].dDeviceAt);
        if (i > 0 && ss[i].dwDevice == ss[i - 1].dwDevice)
            continue;
        double dAt = ss[i].dDeviceAt;
        if (i > 0) {
            const double dGap = ss[i].dDeviceAt - ss[i - 1].dDeviceAt;
            const double dMoved = static_cast<double>(ss[i].dwDevice) - ss[i - 1].dwDevice;
            if (dMoved > 1.5 * dGap)
                dAt -= dGap / 2;
            arrStepSize.push_back(dMoved);
            if (!arrStepAt.empty())
                arrStepGap.push_back(dAt - arrStepAt.back());
        }
        arrStepAt.push_back(dAt);
        arrStepPos.push_back(ss[i].dwDevice);
    }
    const auto device = [&](double t) {
        const size_t k = std::upper_bound(arrStepAt.begin(), arrStepAt.end(), t) - arrStepAt.begin();
        return k == 0 ? arrStepPos.front() : arrStepPos[k - 1] + (t - arrStepAt[k - 1]);
    };
    const double dFirst = lines.front().Start() * 10.0;
    const double dLast = lines.back().nEnd * 10.0;

    std::vector<double> arrBehind, arrDistance;
    int nFilling = 0, nNoRed = 0, nUpdates = 0;
    double dFillingMs = 0;
    char szDump[MAX_PATH] = {};
    const CFilePtr dump(::GetEnvironmentVariableA("SONELLO_BENCH_SAMPLES", szDump, MAX_PATH) ? std::fopen(szDump, "w")
                                                                                             : nullptr);
    for (size_t i = 0; i < ss.size(); ++i) {
        const double dDevice = device(ss[i].dShotAt);
        if (dump)
            std::fprintf(dump.Get(), "%.2f %lu %.2f %.1f %d %d %d %.1f\n", ss[i].dDeviceAt, ss[i].dwDevice,
                         ss[i].dShotAt, dDevice, ss[i].nSlot, ss[i].nLine, ss[i].nRightRed, ss[i].dEdge);
        if (dDevice < dFirst || dDevice >= dLast)
            continue;
        ++nFilling;
        if (i > 0) {
            dFillingMs += ss[i].dShotAt - ss[i - 1].dShotAt;
            nUpdates += ss[i].nRightRed != ss[i - 1].nRightRed || ss[i].nSlot != ss[i - 1].nSlot;
        }
        double dEdge = ss[i].dEdge;
        if (ss[i].nLine < 0) {
            // The band has not begun the line the device is in: its edge stands before that
            // line's first inked column.
            ++nNoRed;
            size_t k = 0;
            while (k + 1 < lines.size() && lines[k + 1].Start() * 10.0 <= dDevice)
                ++k;
            const Shape& shape = run.shapes[k];
            int nFirstInk = 0;
            while (nFirstInk + 1 < shape.nWidth && !shape.columnInk[static_cast<size_t>(nFirstInk)])
                ++nFirstInk;
            dEdge = (lines[k].Start() * 10.0 + FillTime(lines[k], shape, nFirstInk + 1)) / 2;
        }
        arrBehind.push_back(dDevice - dEdge);
        arrDistance.push_back(std::abs(dDevice - dEdge));
    }
    std::printf("%s: %.0f s sampled every %.1f ms (median), a line filling for %.1f s of it\n", pszSong, run.dSeconds,
                Quantile(arrInterval, 0.5), dFillingMs / 1000);
    std::printf("  device position             steps of %.0f ms every %.0f ms (medians)\n", Quantile(arrStepSize, 0.5),
                Quantile(arrStepGap, 0.5));
    std::printf("  red-edge updates a second   %.1f while a line fills\n",
                dFillingMs > 0 ? nUpdates * 1000 / dFillingMs : 0.0);
    std::printf("  edge from the device (ms)   median %.0f, 90th percentile %.0f (behind it: median %.0f)\n",
                Quantile(arrDistance, 0.5), Quantile(arrDistance, 0.9), Quantile(arrBehind, 0.5));
    std::printf("  no red yet on the line      %.1f%% of the samples while a line fills\n",
                nFilling ? 100.0 * nNoRed / nFilling : 0.0);
    std::fflush(stdout);
}

// The main window, made as the player makes it, with the song requested as a double-click does.
bool OpenPlayer(CSonelloDlg& dlg, const CStringW& strSong) {
    if (!dlg.Create(IDD_SONELLO_DIALOG, nullptr) || !g_pDlgLrc) {
        std::fprintf(stderr, "bench_band: the main window could not be made\n");
        return false;
    }
    g_strSongPath = strSong;
    g_bStartSong = true;
    return true;
}

int Alone(const wchar_t* pszSong, int nSeconds) {
    CSonelloDlg dlg;
    if (!OpenPlayer(dlg, pszSong))
        return 1;
    for (UINT_PTR id = 1; id <= 16; ++id)
        ::KillTimer(g_pDlgLrc->m_hWnd, id);
    const double dStart = NowMs();
    double dPlaying = 0;
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
        if (!dPlaying && g_bPlaying) {
            dPlaying = NowMs();
            std::printf("playing\n");
            std::fflush(stdout);
        }
        if (dPlaying ? NowMs() - dPlaying > nSeconds * 1000.0 : NowMs() - dStart > 10000)
            break;
    }
    dlg.DestroyWindow();
    CSound::Close();
    return dPlaying ? 0 : 1;
}

int Edge(const wchar_t* pszSong, int nSongSeconds, int nSeconds) {
    const CStringW strSong(pszSong);
    ::CreateDirectoryW(L"Lrc", nullptr);
    Run run;
    const std::vector<Line> lines = MakeLines(nSongSeconds);
    run.pLines = &lines;
    // The player looks for Lrc\ + the song's name up to its first dot + .lrc.
    const CStringW strName = strSong.Mid(strSong.ReverseFind(L'\\') + 1);
    const CStringW strLyrics = L"Lrc\\" + strName.Left(strName.Find(L'.')) + L".lrc";
    if (lines.empty() || strName.Find(L'.') < 0 || !WriteLyrics(strLyrics, lines)) {
        std::fprintf(stderr, "bench_band: could not write the lyrics of %ls\n", pszSong);
        return 1;
    }
    for (const Line& line : lines)
        run.shapes.push_back(ShapeOf(line));

    CSonelloDlg dlg;
    if (!OpenPlayer(dlg, strSong))
        return 1;
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SHOWLRC, BN_CLICKED), 0);
    run.hBand = g_pDlgLrc->m_hWnd;
    run.dSeconds = nSeconds;
    run.dwMainThread = ::GetCurrentThreadId();

    WNDCLASSW wc = {};
    wc.lpfnWndProc = DeviceWindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"SonelloBenchDevice";
    ::RegisterClassW(&wc);
    run.hDeviceWindow =
        ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);

    CHandle hSampler;
    const double dWaitStart = NowMs();
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
        if (!hSampler && g_bPlaying && CSound::m_bOpened) {
            run.wDevice = CSound::m_wDeviceID;
            hSampler.Reset(::CreateThread(nullptr, 0, Sampler, &run, 0, nullptr));
        }
        if (!hSampler && NowMs() - dWaitStart > 10000) {
            std::fprintf(stderr, "bench_band: %ls did not start playing\n", pszSong);
            return 1;
        }
    }
    ::WaitForSingleObject(hSampler.Get(), INFINITE);
    ::DestroyWindow(run.hDeviceWindow);
    dlg.DestroyWindow();
    CSound::Close();
    char szName[MAX_PATH];
    ::WideCharToMultiByte(CP_UTF8, 0, strName, -1, szName, MAX_PATH, nullptr, nullptr);
    Report(run, szName);
    return 0;
}

}  // namespace

int main() {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    const CLocalMemory argvMemory(argv);
    const std::wstring command = argc > 1 ? argv[1] : L"";
    const int nSongSeconds = argc > 3 ? _wtoi(argv[3]) : 0;
    if (command == L"lyrics" && argc == 4 && nSongSeconds > 0)
        return WriteLyrics(argv[2], MakeLines(nSongSeconds)) ? 0 : 1;
    if (command == L"edge" && argc == 5 && nSongSeconds > 0 && _wtoi(argv[4]) > 0)
        return Edge(argv[2], nSongSeconds, _wtoi(argv[4]));
    if (command == L"alone" && argc == 4 && nSongSeconds > 0)
        return Alone(argv[2], nSongSeconds);
    std::fprintf(stderr,
                 "usage: bench_band lyrics <file.lrc> <song seconds> | edge <song> <song seconds> <seconds> | "
                 "alone <song> <seconds>\n");
    return 2;
}
