// Where the song is now, for a band that draws more often than the main window reads the
// device: each reading of the device position is anchored to the performance counter value it
// was taken at and carried forward at the song's speed in between.
//
// A device may give its position in whole buffers, so a reading can lag the sound it stands
// for but never leads it. The clock follows the readings of the last two seconds, each carried
// forward to now: the freshest of them says where the song is at least. A device that held one
// value over two readings steps, and its smallest step says how far ahead the song may be of
// the reading that came longest after a step: the clock takes the middle of the two. A reading
// behind neither pulls nor snaps it back: once the readings are all behind the clock, it slows
// until they meet; it never runs backwards. It starts afresh from the device's own position
// after a seek, a resume or a new song, and after a reading more than a second away from it
// (the device went somewhere else). Paused or stopped, it stands still.
#pragma once

#include <windows.h>

#include <vector>

class CBandClock {
public:
    // llFrequency counts a second, as QueryPerformanceFrequency gives it.
    explicit CBandClock(LONGLONG llFrequency);

    // The device plays from dwPosition (ms), read at counter llCounter.
    void Start(DWORD dwPosition, LONGLONG llCounter);
    // An ordinary reading while playing. One older than the last reading is ignored; one while
    // the clock stands still starts it.
    void Read(DWORD dwPosition, LONGLONG llCounter);
    // Paused or stopped: stands still where it is at llCounter.
    void Hold(LONGLONG llCounter);
    // Takes the main window's latest reading as the band sees it on each frame: a start count
    // that moved starts the clock from the reading, a reading not seen before is read, and a
    // player that is not playing holds the clock at llNow.
    void Follow(DWORD dwPosition, LONGLONG llCounter, UINT nStarts, bool bPlaying, LONGLONG llNow);

    // The song's position in ms at llCounter; a counter before the clock's last reading or
    // hold counts as that moment.
    double Now(LONGLONG llCounter) const;
    bool IsRunning() const { return m_bRunning; }

private:
    struct Reading {
        double dPosition;
        LONGLONG llCounter;
    };

    double Ms(LONGLONG llCounts) const;
    // Where the recent readings put the song at llCounter.
    double Estimate(LONGLONG llCounter) const;
    void Anchor(double dPosition, LONGLONG llCounter, double dRate);

    const LONGLONG m_llFrequency;
    bool m_bRunning = false;
    double m_dAnchor = 0.0;  // the position at m_llAnchor, in ms
    LONGLONG m_llAnchor = 0;
    double m_dRate = 1.0;  // song ms per counted ms: below 1 while the clock waits for the device
    std::vector<Reading> m_recent;
    UINT m_nStarts = 0;  // the start count of Follow's last reading
    LONGLONG m_llLastReading = 0;
};
