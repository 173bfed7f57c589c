// The lyric band: a borderless, topmost strip at the bottom of the screen whose white is keyed
// out, so only the two lyric lines show over the desktop. It runs on its own 200 ms timer, polls
// the player state and repaints itself whole on every tick, shown or not. A line with a
// translation takes both slots: the original fills at the top, its translation stands beneath.
#pragma once

#include "framework/CDialog.h"
#include "framework/CString.h"
#include "framework/CStringW.h"
#include "lyrics/CBandNotice.h"
#include "lyrics/CLrcSearch.h"
#include "lyrics/CLrcShift.h"

class CDC;

extern int g_nScreenWidth;  // the band's width and the base of every horizontal position
extern int g_nScreenHeight;
extern CStringW g_strTopLine;  // text of the upper slot
extern CStringW g_strBottomLine;
extern bool g_bBottomTranslation;  // the lower slot holds the current line's translation, never filled
extern CString g_strLrcMessage;    // shown instead of lyrics when none were found
extern bool g_bLrcLoaded;          // the current song's lyrics were found and handed to g_lyc
extern bool g_bTopCurrent;         // the upper slot holds the line being filled
extern int g_nTopFill;             // filled width of each slot in pixels
extern int g_nBottomFill;
extern int g_nTopSeconds;  // whole seconds that pace each slot's fill
extern int g_nBottomSeconds;

class CDlgLrc : public CDialog {
public:
    explicit CDlgLrc(CWnd* pParent = nullptr);
    ~CDlgLrc() override = default;

    BOOL OnInitDialog() override;
    void OnDestroy();
    void OnClose();
    void OnTimer(UINT_PTR nIDEvent);
    LRESULT OnLrcSearched(WPARAM wParam, LPARAM lParam);

    // "Lrc\" + the song's name up to its first '.' + ".lrc", relative to the current directory,
    // in the name's own script.
    static CStringW LrcFilePath(const CStringW& strSongPath);
    static bool LrcFileExists(const CStringW& strSongPath);

    // Shows a text where the band's messages stand for two seconds, then the band as before.
    void ShowNotice(const CString& strText);
    // Moves the lyrics of the song now looked up by dSeconds (positive: earlier) on top of what
    // was moved before, or back to the file's own offset, and says so on the band.
    void ShiftLyrics(double dSeconds);
    void ResetLyricsShift();
    // Switches the network search for missing lyrics off or on, and says so on the band.
    void ToggleLyricsSearch();
    // Switches the translations off (the current and the next line, originals only) or on, and
    // says so on the band.
    void ToggleTranslations();

    DECLARE_MESSAGE_MAP()

private:
    void LoadSongLyrics(double dPos);
    // Asks the network for the lyrics of the song playing without any, once a run.
    void SearchLyrics();
    // Both slots afresh from the line in effect at dPos (the first line before it), fills empty.
    static void StartSlots(double dPos, bool bTranslations);
    // Returns the index of the word-timed line the current slot holds, -1 for none.
    static int UpdateSlots(double dPos, bool bTranslations);
    static void DrawLyrics(CDC& dc, int nTextHeight, bool bInRange, int nWordLine, double dPos, bool bShow);
    void ApplyShift();

    CBandNotice m_notice;
    CLrcShift m_shift;
    CLrcSearch m_search;
    bool m_bTranslations = true;  // kept across runs by the file "Lrc\不显示翻译"
};

BEGIN_MESSAGE_MAP(CDlgLrc, CDialog)
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_WM_TIMER()
    ON_MESSAGE(WM_LRC_SEARCHED, OnLrcSearched)
END_MESSAGE_MAP()
