// The lyric band: a borderless, topmost strip at the bottom of the screen whose white is keyed
// out, so only the two lyric lines show over the desktop. Its 200 ms timer polls the player
// state: new songs, messages, notices, the slots' texts. While a line fills where it can be seen,
// a frame timer moves the red edge by the band's own clock of the song, asking the main window
// for a fresh reading of the device at each frame. Either draws only what
// changed since the last drawing, and nothing while the band is hidden. A line with a
// translation takes both slots: the original fills at the top, its translation stands beneath.
#pragma once

#include <vector>

#include "framework/CDC.h"
#include "framework/CDialog.h"
#include "framework/CFont.h"
#include "framework/CString.h"
#include "framework/CStringW.h"
#include "lyrics/CBandClock.h"
#include "lyrics/CBandHandling.h"
#include "lyrics/CBandNotice.h"
#include "lyrics/CLrcSearch.h"
#include "lyrics/CLrcShift.h"

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
    void OnPaint();
    LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM lParam);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    LRESULT OnCaptureChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnContextMenu(WPARAM wParam, LPARAM lParam);
    LRESULT OnDisplayChange(WPARAM wParam, LPARAM lParam);

    // The performance counter of the moment the band draws for; tests put a clock of their own here.
    static LONGLONG (*s_pfnCounter)();
    // What the band did: frame-timer messages, drawings on the screen, and the song position in
    // ms that its last update drew from.
    int FrameCount() const { return m_nFrames; }
    int DrawCount() const { return m_nDraws; }
    double DrawnPositionMs() const { return m_dPositionMs; }

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
    bool ShowsTranslations() const { return m_bTranslations; }

    // The user's hold on the band: the lock, the shown band kept for the next run, the commands
    // of its menu. The Ctrl-key commands go to the owner as WM_LRC_KEY, as the keys themselves.
    bool IsLocked() const { return m_hands.IsLocked(); }
    void SetLocked(bool bLocked) { m_hands.SetLocked(bLocked); }
    void SetShown(bool bShown);
    // Shows the band when it was shown as the player last ended.
    void ShowAsLeft();
    void RunBandCommand(UINT nID);
    const CBandSettings& BandSettings() const { return m_hands.Settings(); }

    DECLARE_MESSAGE_MAP()

private:
    // Unknown: what the screen shows is not known (never drawn, or hidden since).
    enum class Kind { Message, Lyrics, Unknown };
    // What the band shows: a message, or the two slots with the red part of the current one.
    struct Scene {
        Kind kind = Kind::Message;
        CString strMessage;
        CStringW arrText[2];
        int arrX[2] = {};
        int arrWidth[2] = {};
        int nRedSlot = -1;     // 0 the upper slot, 1 the lower, -1 none
        int nRed = 0;          // pixels of it drawn red
        bool bMoving = false;  // the red moves, or a line begins, with nothing else changing

        int RedIn(int nSlot) const { return nRedSlot == nSlot ? nRed : 0; }
    };
    // A slot's text as the band's font lays it out; the word positions for a word-timed line.
    struct Shape {
        CStringW str;
        int nLine = -1;
        int nWidth = 0;
        std::vector<int> arrWordX;
    };

    // The 200 ms tick: songs, searches and notices, then an update.
    void Tick();
    // The band's clock brought up to the main window's last reading; returns the counter it is at.
    LONGLONG FollowDevice();
    // Composes the scene at the clock's position, draws what changed and runs the frame timer
    // only while something moves where it can be seen.
    void Update(LONGLONG llNow);
    double PositionMs(LONGLONG llNow) const;
    void Compose(double dPosMs, double dPlayedMs);
    void ComposeLyrics(Scene& scene, bool bInRange, int nWordLine, double dPos, double dPlayedMs);
    const Shape& ShapeOf(int nSlot, const CStringW& str, int nLine);
    static bool SameDrawing(const Scene& a, const Scene& b);
    // Brings the screen from m_shown to m_scene; bWhole repaints all of it.
    void Draw(CDC& dc, bool bWhole);
    void DrawWhole(CDC& dc);
    void DrawSlot(CDC& dc, int nSlot);
    // The slot's text in blue with its red part.
    void DrawSlotText(CDC& dc, int nSlot);
    void DrawRed(CDC& dc, int nSlot, int nFrom, int nTo);
    void SetFrames(bool bOn);

    void LoadSongLyrics(double dPos);
    // Asks the network for the lyrics of the song playing without any, once a run.
    void SearchLyrics();
    // Both slots afresh from the line in effect at dPos (the first line before it), fills empty.
    static void StartSlots(double dPos, bool bTranslations);
    // Returns the index of the word-timed line the current slot holds, -1 for none.
    static int UpdateSlots(double dPos, bool bTranslations);
    void ApplyShift();
    // Moves the band; a new width moves the slots with it.
    void PlaceBand(const RECT& rc);
    void ApplyStyle();

    CBandNotice m_notice;
    bool m_bNotice = false;  // a notice stands in place of everything else
    CString m_strNotice;
    CLrcShift m_shift;
    CLrcSearch m_search;
    bool m_bTranslations = true;  // kept across runs by the file "Lrc\不显示翻译"

    CBandClock m_clock;
    double m_dPositionMs = 0.0;  // where the last update found the song
    // The font for the window's life, and a memory context holding it to measure texts by even
    // while the band is hidden.
    CFont m_font;
    CDC m_dcMeasure;
    int m_nTextHeight = 0;
    Shape m_arrShape[2];
    Scene m_scene;                 // what should show
    Scene m_shown{Kind::Unknown};  // what the screen shows
    bool m_bFrames = false;
    int m_nFrames = 0;
    int m_nDraws = 0;
    CBandHandling m_hands;
};

BEGIN_MESSAGE_MAP(CDlgLrc, CDialog)
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_WM_TIMER()
    ON_MESSAGE(WM_LRC_SEARCHED, OnLrcSearched)
    ON_WM_PAINT()
    ON_MESSAGE(WM_ERASEBKGND, OnEraseBkgnd)
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_MESSAGE(WM_CAPTURECHANGED, OnCaptureChanged)
    ON_MESSAGE(WM_CONTEXTMENU, OnContextMenu)
    ON_MESSAGE(WM_DISPLAYCHANGE, OnDisplayChange)
END_MESSAGE_MAP()
