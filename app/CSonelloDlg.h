// The main window: a frameless dialog shaped by its background picture, owning the playback
// state, the four periodic timers and the transport, slider and mute controls.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <ctime>
#include <memory>

#include "app/CBarBox.h"
#include "app/CTrayIcon.h"
#include "framework/CBitmap.h"
#include "framework/CBitmapButton.h"
#include "framework/CBrush.h"
#include "framework/CDC.h"
#include "framework/CDialog.h"
#include "framework/CRect.h"
#include "framework/CSliderCtrl.h"
#include "framework/CStatic.h"
#include "framework/CToolTipCtrl.h"
#include "res/resource.h"
#include "state/PlayerState.h"

constexpr UINT WM_TRAYNOTIFY = WM_APP + 1000;

// Main-window timers.
constexpr UINT_PTR TIMER_SECOND = 1;   // start requests, position and time
constexpr UINT_PTR TIMER_DOTS = 2;     // dot animation
constexpr UINT_PTR TIMER_BARS = 3;     // bar display
constexpr UINT_PTR TIMER_LRC_POS = 4;  // position for the lyric band

class CSonelloDlg : public CDialog {
public:
    CSonelloDlg();
    ~CSonelloDlg() override;

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnInitDialog() override;

    // Handlers, in message-map order.
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnAbout();
    void OnMinimizeToTray();
    void OnPrev();
    void OnPlay();
    void OnPause();
    void OnNext();
    void OnStop();
    void OnMute();
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnDestroy();
    void OnShowList();
    void OnTimer(UINT_PTR nIDEvent);
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    void OnShowLrc();
    LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
    LRESULT OnMciNotify(WPARAM wParam, LPARAM lParam);
    void OnHotKey(UINT nHotKeyId, UINT nKey1, UINT nKey2);
    void OnAppCommand(CWnd* pWnd, UINT nCmd, UINT nDevice, UINT nKey);
    LRESULT OnLrcReadPos(WPARAM wParam, LPARAM lParam);
    LRESULT OnLrcKey(WPARAM wParam, LPARAM lParam);
    void OnUnlockBand();
    LRESULT OnInitMenuPopup(WPARAM wParam, LPARAM lParam);

    void UpdateDisplay();
    void CreateBkBrush();
    void BuildWindowRegion();
    void InitTrayIcon();
    void DrawSpectrum(const double* values);

    HICON m_hIcon;
    CBrush m_brushBk;
    CBitmapButton m_btnAbout;
    CBitmapButton m_btnClose;
    CBitmapButton m_btnMinimize;
    CBitmapButton m_btnPrev;
    CBitmapButton m_btnPlay;
    CBitmapButton m_btnPause;
    CBitmapButton m_btnNext;
    CBitmapButton m_btnStop;
    CBitmapButton m_btnMute;
    CStatic m_staticStatus;
    CStatic m_staticTime;
    CStatic m_staticPath;
    CString m_strTime;
    CString m_strStatus;
    bool m_bSongLoaded = false;
    std::unique_ptr<CBitmap> m_pBkBitmap;
    COLORREF m_crKey = RGB(255, 0, 0);
    CSliderCtrl m_sliderSeek;
    int m_nLength = 0;
    int m_nPosition = 0;
    CSliderCtrl m_sliderVolume;
    CBitmapButton m_btnList;
    CBitmapButton m_btnLrc;
    std::unique_ptr<CClientDC> m_pDotDC;  // kept for the window's life: the dots draw outside painting
    int m_nDotPhase = 0;
    CStatic m_staticSpectrum;
    CBarBox m_barBox;
    __time64_t m_tBarsShown = -1;  // the second whose bars stand in the box, painted over by nothing since
    CTrayIcon m_trayIcon;
    CToolTipCtrl m_toolTip;

    DECLARE_MESSAGE_MAP()

private:
    // The steps of OnInitDialog that take more than one call.
    void AddAboutToSystemMenu();
    void SetWindowIcons();
    void LoadBackground();
    void PlaceButtons();
    void ShowStartTexts();
    void SetUpSliders();
    void StartDecorations();
    void CreateSongList();
    void CreateLyricBand();
    void SetUpToolTips();

    void StartRequestedSong();
    // Reads the device position for the lyric band and stamps it with the performance counter;
    // bStart right after the device started from a position of its own.
    // Plays from the resume point and publishes that start to the band.
    void StartDevice();
    void PublishLrcPosition(bool bStart);
    void StepDots();
    void StepBars();
    // Neither hidden in the notification area nor minimised: only then is drawing seen.
    bool CanBeSeen() const { return IsWindowVisible() && !IsIconic(); }
    // A child window's rectangle in this window's client coordinates.
    CRect PlaceOf(const CWnd& child) const {
        CRect rc;
        child.GetWindowRect(&rc);
        ScreenToClient(&rc);
        return rc;
    }
    // Changes a label's text only when it differs, with the picture under it.
    void SetLabel(CStatic& label, const CStringW& strText);
    void RepaintDots();
    void EnableButton(CBitmapButton& button, bool bEnable);
    // The song ended or was stopped: close the device and show the stopped state.
    void EnterStopped();
    // Previous and Next; false when the box has no rows or no selection.
    bool StepSong(bool bNext);
    // A media key does what its button would, if the button is enabled; Play stands for
    // Play/Pause.
    void PressMediaButton(int nButton);
    void PlaceButton(CBitmapButton& button, int x, int y, int w, int h, UINT nNormal, UINT nSelected = 0,
                     UINT nDisabled = 0);
};

BEGIN_MESSAGE_MAP(CSonelloDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_CTLCOLOR()
    ON_BN_CLICKED(IDC_ABOUT, OnAbout)
    ON_BN_CLICKED(IDC_CLOSE, CDialog::OnCancel)
    ON_BN_CLICKED(IDC_MINIMIZE, OnMinimizeToTray)
    ON_BN_CLICKED(IDC_PREV, OnPrev)
    ON_BN_CLICKED(IDC_PLAY, OnPlay)
    ON_BN_CLICKED(IDC_PAUSE, OnPause)
    ON_BN_CLICKED(IDC_NEXT, OnNext)
    ON_BN_CLICKED(IDC_STOP, OnStop)
    ON_BN_CLICKED(IDC_MUTE, OnMute)
    ON_WM_LBUTTONDOWN()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_SHOWLIST, OnShowList)
    ON_WM_TIMER()
    ON_WM_HSCROLL()
    ON_BN_CLICKED(IDC_SHOWLRC, OnShowLrc)
    ON_MESSAGE(WM_TRAYNOTIFY, OnTrayNotify)
    ON_MESSAGE(MM_MCINOTIFY, OnMciNotify)
    ON_WM_HOTKEY()
    ON_WM_APPCOMMAND()
    ON_MESSAGE(WM_LRC_READPOS, OnLrcReadPos)
    ON_MESSAGE(WM_LRC_KEY, OnLrcKey)
    ON_COMMAND(IDM_BAND_UNLOCK, OnUnlockBand)
    ON_MESSAGE(WM_INITMENUPOPUP, OnInitMenuPopup)
END_MESSAGE_MAP()
