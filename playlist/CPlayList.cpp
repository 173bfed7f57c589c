#include "playlist/CPlayList.h"

#include <shellapi.h>

#include <string>

#include "framework/CBitmap.h"
#include "framework/CFileDialog.h"
#include "framework/Holders.h"
#include "framework/WindowDrag.h"
#include "playlist/CSongListStore.h"
#include "sound/SongFormats.h"
#include "state/PlayerState.h"

namespace {

// Room is asked for again every so many rows: Wine takes a reservation back at the next row
// while the box is small, and keeps it once the box is large. Without it the rows are moved
// to fresh memory every few thousand: 1.2 s instead of 0.25 s for 200,000 rows.
const size_t kRowsPerReservation = 16384;

// Names in GBK, paths in UTF-16.
template <typename Row>
void FillBox(CListBox& box, const std::vector<Row>& rows) {
    const auto bytesOf = [](const Row& row) { return static_cast<UINT>((row.GetLength() + 1) * sizeof(row[0])); };
    // One repaint for the whole fill, not one per row.
    box.SendMessage(WM_SETREDRAW, FALSE);
    UINT nBytes = 0;
    for (const Row& row : rows)
        nBytes += bytesOf(row);
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i % kRowsPerReservation == 0)
            box.InitStorage(static_cast<int>(rows.size() - i), nBytes);
        box.AddString(rows[i]);
        nBytes -= bytesOf(rows[i]);
    }
    box.SendMessage(WM_SETREDRAW, TRUE);
    box.Invalidate();
}

// The DOM reads a name back without the white space around it; the box must show what
// the file will give back.
CString TrimXmlSpace(const CString& str) {
    const std::string& s = str.Str();
    const char* const kSpace = " \t\r\n";
    const size_t nFirst = s.find_first_not_of(kSpace);
    if (nFirst == std::string::npos)
        return CString();
    return CString(s.substr(nFirst, s.find_last_not_of(kSpace) - nFirst + 1));
}

void ShowNotice(HWND hOwner, const wchar_t* pszText, const wchar_t* pszCaption) {
    ::MessageBoxW(hOwner, pszText, pszCaption, MB_OK);
}

CPlayList::NoticeFn g_pfnNotice = ShowNotice;

// A box taller than the screen helps nobody: the first names, then how many more.
const size_t kNamesShown = 10;

}  // namespace

CPlayList::NoticeFn CPlayList::SetNoticeFn(NoticeFn pfn) {
    const NoticeFn pfnOld = g_pfnNotice;
    g_pfnNotice = pfn ? pfn : ShowNotice;
    return pfnOld;
}

bool CPlayList::IsSupportedFile(const CStringW& strPath) {
    return IsSongListFile(strPath);
}

void CPlayList::LoadAll() {
    std::vector<CString> names;
    std::vector<CStringW> songs;
    CSongListStore(m_hWnd).LoadAll(names, songs);
    m_lbLists.ResetContent();
    m_lbSongs.ResetContent();
    FillBox(m_lbLists, names);
    FillBox(m_lbSongs, songs);
    // Selecting in code sends no LBN_SELCHANGE: the songs of the first list are already shown.
    if (m_lbLists.GetCount() > 0)
        m_lbLists.SetCurSel(0);
}

void CPlayList::ShowListSongs(const CString& strList) {
    m_lbSongs.ResetContent();
    std::vector<CStringW> songs;
    CSongListStore(m_hWnd).ListSongs(strList, songs);
    FillBox(m_lbSongs, songs);
}

CString CPlayList::AddList() {
    return CSongListStore(m_hWnd).AddList();
}

bool CPlayList::RenameList(const CString& strOld, const CString& strNew) {
    return CSongListStore(m_hWnd).RenameList(strOld, strNew);
}

bool CPlayList::AddSong(const CStringW& strPath, const CString& strList) {
    return CSongListStore(m_hWnd).AddSong(strPath, strList);
}

bool CPlayList::AddSongs(const std::vector<CStringW>& paths, const CString& strList) {
    return CSongListStore(m_hWnd).AddSongs(paths, strList);
}

bool CPlayList::DeleteSong(const CStringW& strPath, const CString& strList) {
    return CSongListStore(m_hWnd).DeleteSong(strPath, strList);
}

void CPlayList::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LISTS, m_lbLists);
    DDX_Control(pDX, IDC_SONGS, m_lbSongs);
    DDX_Control(pDX, IDC_LISTNAME, m_editName);
    DDX_Control(pDX, IDC_ADDSONG, m_btnAddSong);
    DDX_Control(pDX, IDC_DELETESONG, m_btnDeleteSong);
    DDX_Control(pDX, IDC_DELETELIST, m_btnDeleteList);
}

BOOL CPlayList::OnInitDialog() {
    CDialog::OnInitDialog();
    {
        // The brush keeps its own copy of the pattern; the bitmap goes at the end of the block.
        CBitmap bmpPattern;
        if (bmpPattern.LoadBitmap(IDB_ABOUT))
            m_brushBk.CreatePatternBrush(bmpPattern);
    }
    LoadAll();
    // Songs arrive by drag and drop; these three stay off.
    m_btnAddSong.EnableWindow(FALSE);
    m_btnDeleteSong.EnableWindow(FALSE);
    m_btnDeleteList.EnableWindow(FALSE);
    MoveWindow(25, 300, 420, 175, TRUE);
    return TRUE;
}

bool CPlayList::GetSelectedList(CString& strList) const {
    const int nSel = m_lbLists.GetCurSel();
    if (nSel == LB_ERR)
        return false;
    m_lbLists.GetText(nSel, strList);
    return true;
}

void CPlayList::OnCloseList() {
    ShowWindow(SW_HIDE);
    g_bShowList = false;
}

// Enter in the name box gives the selected list that name; elsewhere it does nothing.
void CPlayList::OnEnter() {
    if (::GetFocus() == m_editName.m_hWnd)
        OnRenameList();
}

void CPlayList::OnLButtonDown(UINT /*nFlags*/, CPoint point) {
    DragWindowByBackground(this, point);
}

void CPlayList::OnNewList() {
    // An empty name means the store refused and has said why; there is no list to show.
    const CString strName = AddList();
    if (!strName.IsEmpty())
        m_lbLists.AddString(strName);
}

void CPlayList::SortFile(const CStringW& strFile, std::vector<CStringW>& songs, std::vector<CStringW>& unstorable) {
    if (!IsSupportedFile(strFile))
        return;
    if (strFile.HasLoneSurrogate())
        unstorable.push_back(strFile);
    else
        songs.push_back(strFile);
}

void CPlayList::ReportUnstorable(const std::vector<CStringW>& unstorable) const {
    if (unstorable.empty())
        return;
    CStringW strText =
        L"以下文件的名字含有不成对的代理字符，不是完整的 Unicode 文字，无法存入歌曲列表，"
        L"所以没有加入：\n";
    for (size_t i = 0; i < unstorable.size() && i < kNamesShown; ++i)
        strText += L"\n" + unstorable[i];
    if (unstorable.size() > kNamesShown)
        strText += (L"\n……以及另外 " + std::to_wstring(unstorable.size() - kNamesShown) + L" 个文件").c_str();
    g_pfnNotice(m_hWnd, strText, L"提示");
}

void CPlayList::OnAddSong() {
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY, "声音文件(*.*)||", nullptr);
    if (dlg.DoModal() != IDOK)
        return;
    std::vector<CStringW> songs, unstorable;
    SortFile(dlg.GetWidePathName(), songs, unstorable);
    CString strList;
    if (!songs.empty() && GetSelectedList(strList) && AddSong(songs[0], strList))
        m_lbSongs.AddString(songs[0]);
    ReportUnstorable(unstorable);
}

void CPlayList::OnDblclkSongs() {
    const int nSel = m_lbSongs.GetCurSel();
    if (nSel == LB_ERR)
        return;
    m_lbSongs.GetText(nSel, g_strSongPath);
    g_bStartSong = true;
}

void CPlayList::OnDropFiles(HDROP hDropInfo) {
    // Read in UTF-16: the ANSI names of files outside GBK are question marks that name no file.
    std::vector<CStringW> accepted, unstorable;
    {
        const CDropHandle drop(hDropInfo);  // given back before the long part, the save
        const UINT nCount = ::DragQueryFileW(drop.Get(), 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < nCount; ++i) {
            // Asked for its length first: a path of any length arrives whole.
            const UINT nLength = ::DragQueryFileW(drop.Get(), i, nullptr, 0);
            std::wstring buffer(nLength + 1, L'\0');
            buffer.resize(::DragQueryFileW(drop.Get(), i, &buffer[0], nLength + 1));
            SortFile(std::move(buffer), accepted, unstorable);
        }
    }

    // One load and one save for the whole drop: a long list takes a hundred songs at once.
    CString strList;
    if (!accepted.empty() && GetSelectedList(strList) && AddSongs(accepted, strList)) {
        for (const CStringW& strPath : accepted)
            m_lbSongs.AddString(strPath);
    }
    ReportUnstorable(unstorable);
    Default();
}

int CPlayList::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CDialog::OnCreate(lpCreateStruct) == -1)
        return -1;
    return 0;
}

void CPlayList::OnSingleLoop() {
    g_nPlayMode = PLAYMODE_REPEAT_SONG;
}

void CPlayList::OnListLoop() {
    g_nPlayMode = PLAYMODE_REPEAT_LIST;
}

void CPlayList::OnDeleteList() {
    // Only the row goes: the file keeps the list, and a restart shows it again.
    const int nSel = m_lbLists.GetCurSel();
    if (nSel != LB_ERR)
        m_lbLists.DeleteString(nSel);
}

void CPlayList::OnDeleteSong() {
    const int nSel = m_lbSongs.GetCurSel();
    CString strList;
    if (nSel == LB_ERR || !GetSelectedList(strList))
        return;
    CStringW strPath;
    m_lbSongs.GetText(nSel, strPath);
    if (!DeleteSong(strPath, strList))
        return;
    // The store removes every entry with that path; so does the box.
    for (int i = m_lbSongs.GetCount() - 1; i >= 0; --i) {
        CStringW strRow;
        m_lbSongs.GetText(i, strRow);
        if (strRow == strPath)
            m_lbSongs.DeleteString(i);
    }
}

bool CPlayList::ReadNewName(CString& strName) const {
    CStringW strTyped;
    m_editName.GetWindowText(strTyped);
    if (strTyped.ToGbkExactly(strName))
        return true;
    g_pfnNotice(m_hWnd, L"列表名只能使用 GBK 字符集里的字符，“" + strTyped + L"”不能作为列表名。", L"提示");
    return false;
}

void CPlayList::OnRenameList() {
    const int nSel = m_lbLists.GetCurSel();
    if (nSel == LB_ERR)
        return;
    CString strOld;
    m_lbLists.GetText(nSel, strOld);
    if (strOld == CSongListStore::kDefaultList)
        return;
    CString strNew;
    if (!ReadNewName(strNew))
        return;
    strNew = TrimXmlSpace(strNew);
    const int nCount = m_lbLists.GetCount();
    for (int i = 0; i < nCount; ++i) {
        CString strRow;
        m_lbLists.GetText(i, strRow);
        if (i != nSel && strRow == strNew)
            return;
    }
    if (!RenameList(strOld, strNew))
        return;
    // The store renames every list of that name; the box follows it.
    for (int i = 0; i < nCount; ++i) {
        CString strRow;
        m_lbLists.GetText(i, strRow);
        if (strRow == strOld) {
            m_lbLists.DeleteString(i);
            m_lbLists.InsertString(i, strNew);
        }
    }
    m_lbLists.SetCurSel(nSel);
}

void CPlayList::OnSelchangeLists() {
    CString strList;
    if (GetSelectedList(strList))
        ShowListSongs(strList);
}

HBRUSH CPlayList::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    const HBRUSH hbrDefault = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    const HBRUSH hbrNull = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    switch (nCtlColor) {
    case CTLCOLOR_EDIT:
        if (pWnd->GetDlgCtrlID() == IDC_LISTNAME) {
            pDC->SetTextColor(RGB(255, 100, 100));
            pDC->SetBkColor(RGB(0, 255, 0));
        }
        return hbrNull;
    case CTLCOLOR_BTN:
        if (pWnd->GetDlgCtrlID() == IDC_NEWLIST) {
            pDC->SetTextColor(RGB(255, 100, 100));
            pDC->SetBkColor(RGB(0, 255, 0));
        }
        return hbrNull;
    case CTLCOLOR_DLG:
        return m_brushBk;
    default:
        return hbrDefault;
    }
}
