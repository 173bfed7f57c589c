// The lyric timeline of one LRC file: timed lines with their translations, and which line is in
// effect at a playing position. Times are seconds as double; texts are UTF-16. Touches no window.
#pragma once

#include <map>
#include <string>
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
// not in it), the text from code unit nOffset of the line's shown text on is being sung.
struct LrcWord {
    double dStart;
    int nOffset;
};

class CLyc {
public:
    CLyc() = default;
    CLyc(const CLyc&) = delete;
    CLyc& operator=(const CLyc&) = delete;
    virtual ~CLyc() = default;

    // False only when the file cannot be opened; the previous file's entries then remain,
    // but the timeline answers as not loaded. A file with no time line also loads as not loaded.
    bool Load(const CStringW& strPath);
    // The same for a lyric text already in memory, as the bytes of a file would hold it: GBK,
    // UTF-8 or UTF-16 with its byte-order mark.
    void LoadBytes(const std::string& bytes);
    // The same for a text already decoded (lyrics kept inside a song file).
    void LoadText(const std::wstring& text);

    // Text of the line in effect at pos (seconds); " " when not loaded.
    CStringW GetCurrentLine(double dPos);
    // Text of the line after the one GetCurrentLine last found; " " when there is none.
    CStringW GetNextLine();
    // Seconds until the next line starts, at least 1; 0 outside the timeline and for the last line.
    double GetLineDuration(double dPos);
    // Word timings of the line starting at m_arrTime[nIndex] (GetLineWords(m_nCurIndex) after
    // GetCurrentLine), in the order written; empty for a line without them, out of range, or not
    // loaded. Text before the first word belongs to the line's own start.
    const std::vector<LrcWord>& GetLineWords(int nIndex) const;
    // Translation of the line starting at m_arrTime[nIndex]; empty for a line without one, out of
    // range, or not loaded.
    CStringW GetLineTranslation(int nIndex) const;

    // Used by Load only; public so that each rule can be checked on its own.
    int ClassifyLine(const CStringW& strLine);
    void ParseTimeLine(const CStringW& strLine);
    void ParseTitle(const CStringW& strLine);
    void ParseArtist(const CStringW& strLine);
    void ParseAlbum(const CStringW& strLine);
    void ParseBy(const CStringW& strLine);
    void ParseOffset(const CStringW& strLine);

    // A start time written as the map's key.
    static CString TimeKey(double dTime);

    // What the last load found; the timeline answers as not loaded while IsLoaded is false.
    bool IsLoaded() const { return m_bLoaded; }
    // Start times, one per key, ascending.
    const std::vector<double>& Times() const { return m_arrTime; }
    // Time key to the first line read with it (the original).
    const std::map<CString, CStringW>& Texts() const { return m_mapText; }
    // Time key to its later lines (translations), two spaces between them.
    const std::map<CString, CStringW>& Translations() const { return m_mapTranslation; }
    // Time key to its line's word timings in WordLists(); only word-timed lines have an entry.
    const std::map<CString, size_t>& WordKeys() const { return m_mapWords; }
    // Word timings, one list per word-timed line read.
    const std::vector<std::vector<LrcWord>>& WordLists() const { return m_arrWords; }
    // Where GetNextLine continues from: the line GetCurrentLine last found.
    int CurrentIndex() const { return m_nCurIndex; }
    double FirstTime() const { return m_dFirstTime; }
    double LastTime() const { return m_dLastTime; }
    // Seconds added to every playing position; a load sets the file's own.
    double Offset() const { return m_dOffset; }
    void SetOffset(double dOffset) { m_dOffset = dOffset; }
    const CStringW& Title() const { return m_strTitle; }
    const CStringW& Artist() const { return m_strArtist; }
    const CStringW& Album() const { return m_strAlbum; }
    const CStringW& By() const { return m_strBy; }

private:
    // Time key to the line starting then: the first line read with that key, the original.
    std::map<CString, CStringW> m_mapText;
    // Time key to the later lines with that key, its translations, two spaces between them; only
    // translated lines have an entry.
    std::map<CString, CStringW> m_mapTranslation;
    // Time key to its line's word timings in m_arrWords; only word-timed lines have an entry.
    std::map<CString, size_t> m_mapWords;
    std::vector<std::vector<LrcWord>> m_arrWords;  // one per word-timed line read, shared by its stamps
    std::vector<double> m_arrTime;                 // start times, one per key, ascending after Load
    bool m_bLoaded = false;
    int m_nCurIndex = 0;  // where GetNextLine continues from
    CStringW m_strArtist;
    CStringW m_strAlbum;
    CStringW m_strTitle;
    CStringW m_strBy;
    double m_dFirstTime = 0.0;
    double m_dLastTime = 0.0;
    double m_dOffset = 0.0;  // seconds added to every playing position

    // One line of the file, classified and handed to its parser; blank lines are skipped.
    void ReadLine(CStringW& strLine);
    // One stamp of a time line: the original line at that time, or a translation of it. Lines
    // with words share one list in m_arrWords: nWords is its index, kNoWords before the first.
    void AddStamped(const CString& strKey, double dTime, const std::wstring& strText, const std::vector<LrcWord>& words,
                    size_t& nWords);
    static constexpr size_t kNoWords = static_cast<size_t>(-1);
    // The map's entry for the line starting at T[i]; nullptr out of range, not loaded, or
    // without one.
    template <typename Value>
    const Value* LineEntry(const std::map<CString, Value>& map, size_t i) const;
    // Text of T[i]; empty if its key were missing.
    CStringW TextAt(size_t i) const;
    // Smallest i with t < T[i]; the size when there is none (also for a t that is not a number).
    size_t FirstLaterThan(double t) const;
};

extern CLyc g_lyc;
