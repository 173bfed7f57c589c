// How far the listener has moved each song's lyrics by key, on top of the file's own offset:
// kept by song path for as long as the player runs, never written anywhere.
#pragma once

#include <map>

#include "framework/CString.h"
#include "framework/CStringW.h"

class CLrcShift {
public:
    // Seconds added to the playing position for this song; positive shows the lyrics earlier.
    double Of(const CStringW& strSongPath) const;
    // Adds to the song's shift; returns the new total.
    double Move(const CStringW& strSongPath, double dSeconds);
    void Reset(const CStringW& strSongPath);

    // What the band says about a total: "歌词提前 1.5 秒", "歌词延后 0.5 秒", "歌词时间已还原".
    static CString Describe(double dTotal);

private:
    std::map<CStringW, double> m_mapShift;
};
