#include "lyrics/CLrcShift.h"

#include <cmath>

double CLrcShift::Of(const CStringW& strSongPath) const {
    const auto it = m_mapShift.find(strSongPath);
    return it == m_mapShift.end() ? 0.0 : it->second;
}

double CLrcShift::Move(const CStringW& strSongPath, double dSeconds) {
    double& dTotal = m_mapShift[strSongPath];
    dTotal += dSeconds;
    return dTotal;
}

void CLrcShift::Reset(const CStringW& strSongPath) {
    m_mapShift.erase(strSongPath);
}

CString CLrcShift::Describe(double dTotal) {
    // Steps of 0.5 s add up exactly, so a way back to the file's offset meets 0 exactly.
    if (dTotal == 0.0)
        return "歌词时间已还原";
    CString str;
    str.Format(dTotal > 0 ? "歌词提前 %g 秒" : "歌词延后 %g 秒", std::fabs(dTotal));
    return str;
}
