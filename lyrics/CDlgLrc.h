// The lyric band: a borderless, topmost strip at the bottom of the screen with per-pixel alpha,
// so only the lyric lines, smoothed and outlined, show over the desktop, and the mouse passes
// through everywhere else. The strip itself shows nothing: each text shows through a pane. Its 200 ms timer polls the
// player state: new songs, messages, notices. Its model (CBandModel) says what each slot shows; the band draws that.
// While a line fills where it can be seen, a frame timer moves the red edge by the band's own clock of the song, asking
// the main window for a fresh reading of the device at each frame. Either draws and pushes only what changed since the
// last drawing, and nothing while the band is hidden. The band follows the DPI of its monitor on its own, whatever the
// rest of the program does.
#pragma once

#include <memory>
#include <vector>

#include "framework/CDialog.h"
#include "framework/CString.h"
#include "framework/CStringW.h"
#include "lyrics/CBandCanvas.h"
#include "lyrics/CBandClock.h"
#include "lyrics/CBandHandling.h"
#include "lyrics/CBandPane.h"
#include "lyrics/CBandModel.h"
#include "lyrics/CBandNotice.h"
#include "lyrics/CDlgLrcChoice.h"
#include "lyrics/CLrcSearch.h"
#include "lyrics/CLrcShift.h"

class CDlgLrc : public CDialog {
public:
    explicit CDlgLrc(CWnd* pParent = nullptr);
    // A shift not yet written is written now: the band may go before its timer fires.
    ~CDlgLrc() override { SaveLyricsShift(); }

    // Made aware of each monitor's DPI (where the system knows how), unlike its owner.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    BOOL OnInitDialog() override;
    void OnDestroy();
    void OnClose();
    void OnTimer(UINT_PTR nIDEvent);
    LRESULT OnLrcSearched(WPARAM wParam, LPARAM lParam);
    LRESULT OnLrcChosen(WPARAM wParam, LPARAM lParam);
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnShowWindow(WPARAM wParam, LPARAM lParam);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    LRESULT OnCaptureChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnContextMenu(WPARAM wParam, LPARAM lParam);
    LRESULT OnDisplayChange(WPARAM wParam, LPARAM lParam);
    LRESULT OnMove(WPARAM wParam, LPARAM lParam);

    // The performance counter of the moment the band draws for; tests put a clock of their own here.
    static LONGLONG (*s_pfnCounter)();
    // What the band did: frame-timer messages, drawings on the screen, and the song position in
    // ms that its last update drew from.
    int FrameCount() const { return m_nFrames; }
    int DrawCount() const { return m_nDraws; }
    double DrawnPositionMs() const { return m_dPositionMs; }
    // Where the upper (0) and the lower (1) slot's texts show on the screen.
    const CBandPane& Pane(int nSlot) const { return m_arrPane[nSlot]; }

    CBandModel& Model() { return m_model; }
    // The band's pixels as last drawn, and where its texts stand.
    const BandSurface& Pixels() const { return m_canvas.Surface(); }
    const BandLayout& Layout() const { return m_canvas.Layout(); }
    // Draws everything again in the new look, at once when shown.
    void SetStyle(const BandStyle& style);

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
    // Writes the shifts made by key at once; otherwise a few seconds after the last key press, and
    // when the band ends.
    void SaveLyricsShift();
    // Switches the network search for missing lyrics off or on, and says so on the band.
    void ToggleLyricsSearch();
    // 重新搜索歌词: the network's candidates for the song playing, in a small window, to choose
    // its lyrics from; the choice is shown at once. The key and the band's menu both call this.
    void ChooseLyrics();
    // The window ChooseLyrics opened; nullptr before.
    CDlgLrcChoice* LyricsChoice() { return m_pChoice.get(); }
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
    // The 200 ms tick: songs, searches and notices, then an update.
    void Tick();
    // The band's clock brought up to the main window's last reading; returns the counter it is at.
    LONGLONG FollowDevice();
    // Composes the scene at the clock's position, draws what changed and runs the frame timer
    // only while something moves where it can be seen.
    void Update(LONGLONG llNow);
    double PositionMs(LONGLONG llNow) const;
    // Font, layout and place for nDpi, on the monitor rcNear lies on; all is drawn afresh.
    void FitTo(int nDpi, const RECT& rcNear);
    // Moves the band; a new size lays it out anew.
    void MoveBand(const RECT& rc);
    void SetFrames(bool bOn);

    void LoadSongLyrics(double dPos);
    // Asks the network for the lyrics of the song playing without any, once a run.
    void SearchLyrics();
    void ApplyShift();
    // (Re)starts the debounce timer: a run of key presses writes once.
    void SaveLyricsShiftLater();
    static constexpr UINT_PTR kShiftSaveTimer = 3;
    static constexpr UINT kShiftSaveMs = 3000;

    CBandModel m_model;
    CBandCanvas m_canvas;
    // The upper slot's text or a message, and the lower slot's text, each in a window of its own.
    CBandPane m_arrPane[2];
    POINT m_ptBand = {};  // the band's top left on the screen
    CBandNotice m_notice;
    bool m_bNotice = false;  // a notice stands in place of everything else
    CString m_strNotice;
    CLrcShift m_shift;
    CLrcSearch m_search;
    std::unique_ptr<CDlgLrcChoice> m_pChoice;
    bool m_bTranslations = true;  // kept across runs by the file "Lrc\不显示翻译"
    CStringW m_strLyricsSong;     // the song whose lyrics were last looked up

    CBandClock m_clock;
    double m_dPositionMs = 0.0;  // where the last update found the song
    BandScene m_shown;           // what the screen shows
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
    ON_MESSAGE(WM_LRC_CHOSEN, OnLrcChosen)
    ON_MESSAGE(WM_DPICHANGED, OnDpiChanged)
    ON_MESSAGE(WM_SHOWWINDOW, OnShowWindow)
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_MESSAGE(WM_CAPTURECHANGED, OnCaptureChanged)
    ON_MESSAGE(WM_CONTEXTMENU, OnContextMenu)
    ON_MESSAGE(WM_DISPLAYCHANGE, OnDisplayChange)
    ON_MESSAGE(WM_MOVE, OnMove)
END_MESSAGE_MAP()
