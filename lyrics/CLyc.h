// The lyric timeline of one LRC file: timed lines, and which line is in effect at a playing
// position. Times are seconds as double; every string is GBK bytes. Touches no window.
#pragma once

#include <map>
#include <vector>

#include "framework/CString.h"

// What ClassifyLine finds a line to be.
enum {
    LINE_TITLE = 0,
    LINE_ARTIST = 1,
    LINE_ALBUM = 2,
    LINE_TIME = 3,
    LINE_OTHER = 4,
    LINE_BY = 5,
    LINE_OFFSET = 6,
};

class CLyc {
public:
    CLyc() = default;
    CLyc(const CLyc&) = delete;
    CLyc& operator=(const CLyc&) = delete;
    virtual ~CLyc();

    // False only when the file cannot be opened; the previous file's entries then remain,
    // but the timeline answers as not loaded. A file with no time line also loads as not loaded.
    bool Load(CString strPath);

    // Text of the line in effect at pos (seconds); " " when not loaded.
    CString GetCurrentLine(double dPos);
    // Text of the line after the one GetCurrentLine last found; " " when there is none.
    CString GetNextLine();
    // Seconds until the next line starts, at least 1; 0 outside the timeline and for the last line.
    double GetLineDuration(double dPos);

    // Used by Load only; public so that each rule can be checked on its own.
    int ClassifyLine(CString strLine);
    void ParseTimeLine(CString strLine);
    void ParseTitle(CString strLine);
    void ParseArtist(CString strLine);
    void ParseAlbum(CString strLine);
    void ParseBy(CString strLine);
    void ParseOffset(CString strLine);

    // A start time written as the map's key.
    static CString TimeKey(double dTime);

    std::map<CString, CString> m_mapText;  // time key to the line starting then
    std::vector<double> m_arrTime;         // start times, ascending after Load; equal ones all kept
    bool m_bLoaded = false;
    int m_nCurIndex = 0;  // where GetNextLine continues from
    CString m_strArtist;
    CString m_strAlbum;
    CString m_strTitle;
    CString m_strBy;
    double m_dFirstTime = 0.0;
    double m_dLastTime = 0.0;
    double m_dOffset = 0.0;  // seconds added to every playing position

private:
    // Text of T[i]; empty if its key were missing.
    CString TextAt(size_t i) const;
    // Smallest i with t < T[i]; the size when there is none.
    size_t FirstLaterThan(double t) const;
};

extern CLyc g_lyc;
