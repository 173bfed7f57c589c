// The song-list window: list names on the left, the songs of the selected list on the right.
// Every change but the removal of a list row is written through to MySongList.xml at once;
// the window keeps no list data apart from what its two boxes show. It is a Unicode window, so
// that its song box holds every path whole, in any script; list names stay GBK.
#pragma once

#include <string>
#include <vector>

#include "framework/CBrush.h"
#include "framework/CButton.h"
#include "framework/CDC.h"
#include "framework/CDialog.h"
#include "framework/CEdit.h"
#include "framework/CListBox.h"
#include "res/resource.h"

class CPlayList : public CDialog {
public:
    explicit CPlayList(CWnd* pParent = nullptr) : CDialog(IDD_PLAYLIST, pParent, Chars::Unicode) {}
    ~CPlayList() override = default;

    // True when the player plays the file's extension (after the last '.', else the whole
    // path), on an MCI device or through Media Foundation; .rmi plays but lists leave it out.
    static bool IsSupportedFile(const CStringW& strPath);

    // The store, shown in this window's boxes and reporting on this window. False (or an empty
    // name) when the store refused and has told the user why; the boxes are then left alone.
    void LoadAll();
    void ShowListSongs(const CString& strList);
    CString AddList();
    bool RenameList(const CString& strOld, const CString& strNew);
    bool AddSong(const CStringW& strPath, const CString& strList);
    bool AddSongs(const std::vector<CStringW>& paths, const CString& strList);
    bool DeleteSong(const CStringW& strPath, const CString& strList);

    // The window's own notices name files and typed names in UTF-16, which GBK cannot spell;
    // tests put a recorder here in place of the message box.
    using NoticeFn = void (*)(HWND hOwner, const wchar_t* pszText, const wchar_t* pszCaption);
    static NoticeFn SetNoticeFn(NoticeFn pfn);

    void OnCloseList();
    void OnEnter();
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnNewList();
    void OnAddSong();
    void OnDblclkLists() {}
    void OnDblclkSongs();
    void OnDropFiles(HDROP hDropInfo);
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnSingleLoop();
    void OnListLoop();
    void OnDeleteList();
    void OnDeleteSong();
    void OnRenameList();
    void OnSelchangeLists();
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

    CListBox m_lbLists;
    CListBox m_lbSongs;  // read and moved by the main window
    CEdit m_editName;
    CButton m_btnAddSong;
    CButton m_btnDeleteSong;
    CButton m_btnDeleteList;

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    DECLARE_MESSAGE_MAP()

private:
    // The selected list's name; false when no list is selected.
    bool GetSelectedList(CString& strList) const;
    // Sorts a dropped or chosen file: a sound file goes to songs by its own path, one whose
    // name the file cannot store (a surrogate without its pair) to unstorable; anything else is
    // passed over.
    static void SortFile(const CStringW& strFile, std::vector<CStringW>& songs, std::vector<CStringW>& unstorable);
    // One notice naming every sound file that could not be added.
    void ReportUnstorable(const std::vector<CStringW>& unstorable) const;
    // The name typed for a rename, in GBK, as list names are kept; false, after a notice, when
    // it holds a character GBK has not.
    bool ReadNewName(CString& strName) const;

    CBrush m_brushBk;
};

BEGIN_MESSAGE_MAP(CPlayList, CDialog)
    ON_BN_CLICKED(IDC_CLOSELIST, OnCloseList)
    ON_COMMAND(IDCANCEL, OnCloseList)  // Escape and the window's own close, or the timer would bring it back
    ON_COMMAND(IDOK, OnEnter)          // the dialog default would hide the list as Escape did
    ON_WM_LBUTTONDOWN()
    ON_BN_CLICKED(IDC_NEWLIST, OnNewList)
    ON_BN_CLICKED(IDC_ADDSONG, OnAddSong)
    ON_LBN_DBLCLK(IDC_LISTS, OnDblclkLists)
    ON_LBN_DBLCLK(IDC_SONGS, OnDblclkSongs)
    ON_WM_DROPFILES()
    ON_WM_TIMER()
    ON_WM_CREATE()
    ON_BN_CLICKED(IDC_SINGLELOOP, OnSingleLoop)
    ON_BN_CLICKED(IDC_LISTLOOP, OnListLoop)
    ON_BN_CLICKED(IDC_DELETELIST, OnDeleteList)
    ON_BN_CLICKED(IDC_DELETESONG, OnDeleteSong)
    ON_BN_CLICKED(IDC_RENAMELIST, OnRenameList)
    ON_LBN_SELCHANGE(IDC_LISTS, OnSelchangeLists)
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()
