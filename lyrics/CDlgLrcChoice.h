// The network's candidates for the song playing, to choose its lyrics from: whether each is
// timed, its length, title, artist and album. The list comes on a worker thread while the window
// answers; choosing a timed one makes it the song's lyric file, the file there before kept as a
// backup beside it, and tells the band. A check box switches the network search off and on.
// Modeless: closing hides it, and the band opens it again for the song then playing.
#pragma once

#include <vector>

#include "framework/CButton.h"
#include "framework/CDialog.h"
#include "framework/CListBox.h"
#include "framework/CStatic.h"
#include "framework/CStringW.h"
#include "lyrics/CLrcCandidates.h"
#include "res/resource.h"

// Posted to the window that opened the choice once a choice has been saved as the lyric file.
constexpr UINT WM_LRC_CHOSEN = WM_APP + 32;

class CDlgLrcChoice : public CDialog {
public:
    explicit CDlgLrcChoice(CWnd* pParent = nullptr) : CDialog(IDD_LRC_CHOICE, pParent, Chars::Unicode) {}

    BOOL OnInitDialog() override;
    void OnOK();
    void OnCancel();
    void OnSearchSwitch();
    void OnAskAgain();
    LRESULT OnCandidates(WPARAM wParam, LPARAM lParam);

    // Shows the window for a song: strLrcPath is where its lyric file belongs, full; the band
    // hears of a choice through WM_LRC_CHOSEN. Asks the service at once unless the search is off.
    void Open(HWND hNotify, const CStringW& strSongPath, const CStringW& strLrcPath, DWORD dwLengthMs);
    // Keeps the candidate of that row as the lyric file; false, with the reason shown, when it
    // cannot be kept (not timed, or the file cannot be written).
    bool Choose(int nRow);

    const CStringW& SongPath() const { return m_strSongPath; }
    const CStringW& Backup() const { return m_strBackup; }  // of the last choice; empty for none
    LrcCandidatesState State() const { return m_candidates.State(); }
    int RowCount() const { return static_cast<int>(m_rows.size()); }
    CStringW StatusText() const;

    DECLARE_MESSAGE_MAP()

private:
    void Ask();
    void ShowRows();
    void SetStatus(const CStringW& str);

    CListBox m_lbCandidates;
    CStatic m_stStatus;
    CLrcCandidates m_candidates;
    std::vector<LrcCandidate> m_rows;  // as the list box shows them
    HWND m_hNotify = nullptr;
    CStringW m_strSongPath;
    CStringW m_strLrcPath;
    CStringW m_strBackup;
    DWORD m_dwLengthMs = 0;
};

BEGIN_MESSAGE_MAP(CDlgLrcChoice, CDialog)
    ON_COMMAND(IDOK, OnOK)
    ON_LBN_DBLCLK(IDC_LRC_CHOICE_LIST, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
    ON_BN_CLICKED(IDC_LRC_CHOICE_SEARCH, OnSearchSwitch)
    ON_BN_CLICKED(IDC_LRC_CHOICE_AGAIN, OnAskAgain)
    ON_MESSAGE(WM_LRC_CANDIDATES, OnCandidates)
END_MESSAGE_MAP()
