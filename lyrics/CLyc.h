// The lyric timeline of one LRC file: timed lines, and which line is in effect at a playing
// position. Times are seconds as double; every string is GBK bytes. Touches no window.
#pragma once

#include <map>
#include <vector>

#include "framework/CString.h"
#include "framework/CStringW.h"

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

// One timed word of a word-timed line: dStart seconds after the line's own start (the offset is
// not in it), the text from byte nOffset of the line's shown text on is being sung.
struct LrcWord {
    double dStart;
    int nOffset;
};

class CLyc {
public:
    CLyc() = default;
    CLyc(const CLyc&) = delete;
    CLyc& operator=(const CLyc&) = delete;
    virtual ~CLyc();

    // False only when the file cannot be opened; the previous file's entries then remain,
    // but the timeline answers as not loaded. A file with no time line also loads as not loaded.
    bool Load(const CStringW& strPath);
    // The same for a lyric text already in memory (lyrics kept inside a song file), as the
    // bytes of a file would hold it: GBK, UTF-8 or UTF-16 with its byte-order mark.
    void LoadBytes(const std::string& bytes);

    // Text of the line in effect at pos (seconds); " " when not loaded.
    CString GetCurrentLine(double dPos);
    // Text of the line after the one GetCurrentLine last found; " " when there is none.
    CString GetNextLine();
    // Seconds until the next line starts, at least 1; 0 outside the timeline and for the last line.
    double GetLineDuration(double dPos);
    // Word timings of the line starting at m_arrTime[nIndex] (GetLineWords(m_nCurIndex) after
    // GetCurrentLine), in the order written; empty for a line without them, out of range, or not
    // loaded. Text before the first word belongs to the line's own start.
    const std::vector<LrcWord>& GetLineWords(int nIndex) const;

    // Used by Load only; public so that each rule can be checked on its own.
    int ClassifyLine(const CString& strLine);
    void ParseTimeLine(const CString& strLine);
    void ParseTitle(const CString& strLine);
    void ParseArtist(const CString& strLine);
    void ParseAlbum(const CString& strLine);
    void ParseBy(const CString& strLine);
    void ParseOffset(const CString& strLine);

    // A start time written as the map's key.
    static CString TimeKey(double dTime);

    std::map<CString, CString> m_mapText;  // time key to the line starting then
    // Time key to its line's word timings in m_arrWords; only word-timed lines have an entry.
    std::map<CString, size_t> m_mapWords;
    std::vector<std::vector<LrcWord>> m_arrWords;  // one per word-timed line read, shared by its stamps
    std::vector<double> m_arrTime;                 // start times, ascending after Load; equal ones all kept
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
    // One line of the file, classified and handed to its parser; blank lines are skipped.
    void ReadLine(CString& strLine);
    // Text of T[i]; empty if its key were missing.
    CString TextAt(size_t i) const;
    // Smallest i with t < T[i]; the size when there is none (also for a t that is not a number).
    size_t FirstLaterThan(double t) const;
};

extern CLyc g_lyc;
