#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "framework/Holders.h"
#include "tests/bench/band/Report.h"

namespace band {

namespace {

double Quantile(std::vector<double> v, double q) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(q * v.size()))];
}

// The device's steps, each placed where it most likely happened.
struct DeviceSteps {
    std::vector<double> arrStepAt, arrStepPos, arrStepSize, arrStepGap, arrInterval;

    explicit DeviceSteps(const std::vector<Sample>& ss) {
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
    }

    // The device position at t: its last step carried forward at the song's speed.
    double PositionAt(double t) const {
        const size_t k = std::upper_bound(arrStepAt.begin(), arrStepAt.end(), t) - arrStepAt.begin();
        return k == 0 ? arrStepPos.front() : arrStepPos[k - 1] + (t - arrStepAt[k - 1]);
    }
};

// The red edge against the device, over the samples taken while a line fills; with
// SONELLO_BENCH_SAMPLES naming a file, every sample is written there on the way.
struct EdgeFigures {
    std::vector<double> arrBehind, arrDistance;
    int nFilling = 0, nNoRed = 0, nUpdates = 0;
    double dFillingMs = 0;

    EdgeFigures(const Run& run, const DeviceSteps& steps) {
        const std::vector<Sample>& ss = run.samples;
        const std::vector<Line>& lines = *run.pLines;
        const double dFirst = lines.front().Start() * 10.0;
        const double dLast = lines.back().nEnd * 10.0;
        char szDump[MAX_PATH] = {};
        const CFilePtr dump(
            ::GetEnvironmentVariableA("SONELLO_BENCH_SAMPLES", szDump, MAX_PATH) ? std::fopen(szDump, "w") : nullptr);
        for (size_t i = 0; i < ss.size(); ++i) {
            const double dDevice = steps.PositionAt(ss[i].dShotAt);
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
    }
};

}  // namespace

void Report(const Run& run, const char* pszSong) {
    const DeviceSteps steps(run.samples);
    const EdgeFigures fig(run, steps);
    std::printf("%s: %.0f s sampled every %.1f ms (median), a line filling for %.1f s of it\n", pszSong, run.dSeconds,
                Quantile(steps.arrInterval, 0.5), fig.dFillingMs / 1000);
    std::printf("  device position             steps of %.0f ms every %.0f ms (medians)\n",
                Quantile(steps.arrStepSize, 0.5), Quantile(steps.arrStepGap, 0.5));
    std::printf("  red-edge updates a second   %.1f while a line fills\n",
                fig.dFillingMs > 0 ? fig.nUpdates * 1000 / fig.dFillingMs : 0.0);
    std::printf("  edge from the device (ms)   median %.0f, 90th percentile %.0f (behind it: median %.0f)\n",
                Quantile(fig.arrDistance, 0.5), Quantile(fig.arrDistance, 0.9), Quantile(fig.arrBehind, 0.5));
    std::printf("  no red yet on the line      %.1f%% of the samples while a line fills\n",
                fig.nFilling ? 100.0 * fig.nNoRed / fig.nFilling : 0.0);
    std::fflush(stdout);
}

}  // namespace band
