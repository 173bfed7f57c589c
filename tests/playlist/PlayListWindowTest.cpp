#include "playlist/CPlayList.h"

#include <shlobj.h>

#include <cstring>
#include <memory>

#include "playlist/SongListFixture.h"
#include "state/PlayerState.h"

namespace {

const char kTwoLists[] =
    u8"<歌曲列表><列表1><列表名字>A</列表名字><歌曲路径>s1</歌曲路径><歌曲路径>s2</歌曲路径></列表1>"
    u8"<列表2><列表名字>B</列表名字><歌曲路径>s3</歌曲路径></列表2></歌曲列表>";

// A drop as the shell makes it: a DROPFILES header, then the ANSI paths, each ended by a NUL,
// and one more NUL. The window frees it with DragFinish.
HDROP MakeDrop(const std::vector<std::string>& paths) {
    size_t nBytes = sizeof(DROPFILES) + 1;
    for (const std::string& path : paths)
        nBytes += path.size() + 1;
    const HGLOBAL hGlobal = ::GlobalAlloc(GHND, nBytes);
    auto* pDrop = static_cast<DROPFILES*>(::GlobalLock(hGlobal));
    pDrop->pFiles = sizeof(DROPFILES);
    pDrop->fWide = FALSE;
    char* pszNext = reinterpret_cast<char*>(pDrop) + sizeof(DROPFILES);
    for (const std::string& path : paths) {
        std::memcpy(pszNext, path.c_str(), path.size() + 1);
        pszNext += path.size() + 1;
    }
    ::GlobalUnlock(hGlobal);
    return static_cast<HDROP>(hGlobal);
}

struct Notice {
    std::wstring text;
    std::wstring caption;
};
std::vector<Notice> g_notices;

class PlayListWindow : public SongListFixture {
protected:
    void SetUp() override {
        SongListFixture::SetUp();
        g_notices.clear();
        m_pfnOldNotice = CPlayList::SetNoticeFn([](HWND, const wchar_t* pszText, const wchar_t* pszCaption) {
            g_notices.push_back({pszText, pszCaption});
        });
        ResetPlayerState();
    }
    void TearDown() override {
        m_pDlg.reset();
        CPlayList::SetNoticeFn(m_pfnOldNotice);
        SongListFixture::TearDown();
    }

    void Open(const char* pszFile = kTwoLists) {
        WriteList(pszFile);
        m_pDlg = std::make_unique<CPlayList>();
        ASSERT_TRUE(m_pDlg->Create(IDD_PLAYLIST, nullptr));
    }
    void Click(int nID) { Notify(nID, BN_CLICKED); }
    void Notify(int nID, int nCode) {
        m_pDlg->SendMessage(WM_COMMAND, MAKEWPARAM(nID, nCode), reinterpret_cast<LPARAM>(m_pDlg->GetDlgItem(nID)));
    }
    void SelectList(int nRow) {
        m_pDlg->m_lbLists.SetCurSel(nRow);
        Notify(IDC_LISTS, LBN_SELCHANGE);
    }
    void Drop(const std::vector<std::string>& paths) {
        m_pDlg->SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)));
    }
    void Rename(int nRow, const char* pszNewName) {
        m_pDlg->m_lbLists.SetCurSel(nRow);
        m_pDlg->m_editName.SetWindowText(pszNewName);
        Click(IDC_RENAMELIST);
    }
    template <typename Row = CString>
    static std::vector<Row> BoxRows(const CListBox& box) {
        std::vector<Row> rows(static_cast<size_t>(box.GetCount()));
        for (size_t i = 0; i < rows.size(); ++i)
            box.GetText(static_cast<int>(i), rows[i]);
        return rows;
    }
    static std::vector<CStringW> SongRows(const CListBox& box) { return BoxRows<CStringW>(box); }
    std::vector<CStringW> StoredSongs(const char* pszList) {
        std::vector<CStringW> songs;
        CSongListStore(nullptr).ListSongs(pszList, songs);
        return songs;
    }
    std::vector<CString> StoredNames() {
        std::vector<CString> names;
        std::vector<CStringW> songs;
        CSongListStore(nullptr).LoadAll(names, songs);
        return names;
    }

    std::unique_ptr<CPlayList> m_pDlg;
    CPlayList::NoticeFn m_pfnOldNotice = nullptr;
};

TEST_F(PlayListWindow, StartsHiddenShowingTheFirstListWithNoSongSelected) {
    Open();
    EXPECT_FALSE(m_pDlg->IsWindowVisible());
    EXPECT_EQ(Rows({"A", "B"}), BoxRows(m_pDlg->m_lbLists));
    EXPECT_EQ(0, m_pDlg->m_lbLists.GetCurSel());
    EXPECT_EQ(Paths({L"s1", L"s2"}), SongRows(m_pDlg->m_lbSongs));
    EXPECT_EQ(LB_ERR, m_pDlg->m_lbSongs.GetCurSel());
    // Songs come by drag and drop only.
    EXPECT_FALSE(::IsWindowEnabled(m_pDlg->GetDlgItem(IDC_ADDSONG)));
    EXPECT_FALSE(::IsWindowEnabled(m_pDlg->GetDlgItem(IDC_DELETESONG)));
    EXPECT_FALSE(::IsWindowEnabled(m_pDlg->GetDlgItem(IDC_DELETELIST)));
    RECT rc;
    m_pDlg->GetWindowRect(&rc);
    EXPECT_EQ(25, rc.left);
    EXPECT_EQ(300, rc.top);
    EXPECT_EQ(420, rc.right - rc.left);
    EXPECT_EQ(175, rc.bottom - rc.top);
}

TEST_F(PlayListWindow, SelectingAListShowsItsSongs) {
    Open();
    SelectList(1);
    EXPECT_EQ(Paths({L"s3"}), SongRows(m_pDlg->m_lbSongs));
    SelectList(0);
    EXPECT_EQ(Paths({L"s1", L"s2"}), SongRows(m_pDlg->m_lbSongs));
    EXPECT_EQ(LB_ERR, m_pDlg->m_lbSongs.GetCurSel());
}

TEST_F(PlayListWindow, DropAddsOnlySoundFilesInDropOrderToBoxAndFile) {
    Open();
    SelectList(1);
    Drop({"C:\\a.txt", "C:\\b.RMI", "C:\\c.MP3", "C:\\d.fla", "C:\\歌.wav", "C:\\c.MP3", "C:\\e.Opus"});
    const std::vector<CStringW> expected = Paths({L"s3", L"C:\\c.MP3", L"C:\\歌.wav", L"C:\\c.MP3", L"C:\\e.Opus"});
    EXPECT_EQ(expected, SongRows(m_pDlg->m_lbSongs));
    EXPECT_EQ(expected, StoredSongs("B"));
    EXPECT_EQ(Paths({L"s1", L"s2"}), StoredSongs("A"));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PlayListWindow, LongDroppedPathArrivesWhole) {
    Open();
    const std::string strLong = "C:\\" + std::string(250, 'x') + "\\第一首歌.mp3";
    ASSERT_GT(strLong.size(), 199u);
    Drop({strLong});
    const CStringW strWide = CStringW::FromGbk(strLong);
    EXPECT_EQ(Paths({L"s1", L"s2", strWide}), SongRows(m_pDlg->m_lbSongs));
    EXPECT_EQ(Paths({L"s1", L"s2", strWide}), StoredSongs("A"));
}

// Names outside GBK used to go in by their 8.3 short names, or be left out where none served.
TEST_F(PlayListWindow, DroppedNamesStayWholeAndOnlyNamesNoFileCanHoldAreLeftOut) {
    Open();
    const CStringW kMpeg = L"C:\\노래.mpeg";    // a short name would end in .MPE
    const CStringW kMissing = L"C:\\없는.wav";  // dropped paths are taken as they come
    const CStringW kBroken =
        L"C:\\a\xD800"
        L"b.wav";  // half a surrogate pair: no character at all
    m_pDlg->SendMessage(
        WM_DROPFILES,
        reinterpret_cast<WPARAM>(MakeWideDrop({kMpeg.Str(), kBroken.Str(), kMissing.Str(), L"C:\\한국어.txt"})));
    EXPECT_EQ(Paths({L"s1", L"s2", kMpeg, kMissing}), SongRows(m_pDlg->m_lbSongs));
    EXPECT_EQ(Paths({L"s1", L"s2", kMpeg, kMissing}), StoredSongs("A"));
    ASSERT_EQ(1u, g_notices.size());
    EXPECT_EQ(L"提示", g_notices[0].caption);
    EXPECT_NE(std::wstring::npos, g_notices[0].text.find(kBroken.Str()));
    EXPECT_EQ(std::wstring::npos, g_notices[0].text.find(kMpeg.Str()));
}

TEST_F(PlayListWindow, DropWithNoListSelectedStoresNothing) {
    Open();
    Click(IDC_DELETELIST);
    EXPECT_EQ(Rows({"B"}), BoxRows(m_pDlg->m_lbLists));
    EXPECT_EQ(LB_ERR, m_pDlg->m_lbLists.GetCurSel());
    Drop({"C:\\c.mp3"});
    EXPECT_EQ(Paths({L"s1", L"s2"}), SongRows(m_pDlg->m_lbSongs));
    // Deleting a list only drops its row; the file keeps it.
    EXPECT_EQ(kTwoLists, FileBytes());
}

TEST_F(PlayListWindow, FailedSavesChangeNoBoxAndAreReportedOnThisWindow) {
    Open();
    ASSERT_TRUE(::SetFileAttributesA(FilePath().c_str(), FILE_ATTRIBUTE_READONLY));
    Drop({"C:\\c.mp3", "C:\\d.mp3"});
    Click(IDC_NEWLIST);
    Rename(1, "C");
    EXPECT_EQ(Paths({L"s1", L"s2"}), SongRows(m_pDlg->m_lbSongs));
    EXPECT_EQ(Rows({"A", "B"}), BoxRows(m_pDlg->m_lbLists));
    // One message for the whole drop, one for the new list, one for the rename.
    ASSERT_EQ(3u, Messages().size());
    for (const StoreMessage& m : Messages())
        EXPECT_EQ(m_pDlg->m_hWnd, m.hOwner);
    EXPECT_EQ(kTwoLists, FileBytes());
}

TEST_F(PlayListWindow, NewListGoesToTheBottomAndTheSelectionStays) {
    Open();
    SelectList(1);
    Click(IDC_NEWLIST);
    EXPECT_EQ(Rows({"A", "B", "新建列表3"}), BoxRows(m_pDlg->m_lbLists));
    EXPECT_EQ(1, m_pDlg->m_lbLists.GetCurSel());
    EXPECT_EQ(Rows({"A", "B", "新建列表3"}), StoredNames());
}

TEST_F(PlayListWindow, RenameSparesTheDefaultListAndTakenNamesButAllowsEmpty) {
    Open(
        u8"<歌曲列表><列表1><列表名字>默认</列表名字></列表1><列表2><列表名字>A</列表名字></列表2>"
        u8"<列表3><列表名字>B</列表名字></列表3></歌曲列表>");
    Rename(0, "X");
    Rename(1, "B");
    Rename(1, "a");
    EXPECT_EQ(Rows({"默认", "a", "B"}), BoxRows(m_pDlg->m_lbLists));
    Rename(1, "");
    EXPECT_EQ(Rows({"默认", "", "B"}), BoxRows(m_pDlg->m_lbLists));
    EXPECT_EQ(1, m_pDlg->m_lbLists.GetCurSel());
    EXPECT_EQ(Rows({"默认", "", "B"}), StoredNames());
    // The box takes any script, list names only GBK: a name it cannot hold is refused, not
    // stored as question marks.
    const wchar_t kKorean[] = L"“노래”";  // quoted as the notice names it; gtest spells its macros in GBK
    m_pDlg->m_editName.SetWindowText(std::wstring(kKorean + 1, 2).c_str());
    Click(IDC_RENAMELIST);
    EXPECT_EQ(Rows({"默认", "", "B"}), BoxRows(m_pDlg->m_lbLists));
    EXPECT_EQ(Rows({"默认", "", "B"}), StoredNames());
    ASSERT_EQ(1u, g_notices.size());
    EXPECT_NE(std::wstring::npos, g_notices[0].text.find(kKorean));
}

TEST_F(PlayListWindow, RenamedListKeepsTakingSongsWhateverSpacesSurroundItsName) {
    Open();
    Rename(1, " \t 新 名 ");
    EXPECT_EQ(Rows({"A", "新 名"}), BoxRows(m_pDlg->m_lbLists));
    Rename(1, "   ");
    EXPECT_EQ(Rows({"A", ""}), BoxRows(m_pDlg->m_lbLists));
    Rename(1, " A");
    EXPECT_EQ(Rows({"A", ""}), BoxRows(m_pDlg->m_lbLists));
    SelectList(1);
    Drop({"C:\\c.mp3"});
    EXPECT_EQ(Paths({L"s3", L"C:\\c.mp3"}), StoredSongs(""));
}

TEST_F(PlayListWindow, RenameReachesEveryRowOfTheOldName) {
    // Two lists of one name are one name to the file: the rename renames both.
    Open(
        u8"<歌曲列表><列表1><列表名字>默认</列表名字></列表1><列表2><列表名字>新建列表3</列表名字></列表2>"
        u8"<列表3><列表名字>新建列表3</列表名字></列表3></歌曲列表>");
    Rename(2, "N");
    EXPECT_EQ(Rows({"默认", "N", "N"}), BoxRows(m_pDlg->m_lbLists));
    EXPECT_EQ(2, m_pDlg->m_lbLists.GetCurSel());
    EXPECT_EQ(Rows({"默认", "N", "N"}), StoredNames());
}

TEST_F(PlayListWindow, DeleteSongRemovesEveryRowOfThatPath) {
    Open(
        u8"<歌曲列表><列表1><列表名字>A</列表名字><歌曲路径>x</歌曲路径><歌曲路径>s1</歌曲路径>"
        u8"<歌曲路径>x</歌曲路径></列表1></歌曲列表>");
    Click(IDC_DELETESONG);
    EXPECT_EQ(Paths({L"x", L"s1", L"x"}), SongRows(m_pDlg->m_lbSongs));
    m_pDlg->m_lbSongs.SetCurSel(2);
    Click(IDC_DELETESONG);
    EXPECT_EQ(Paths({L"s1"}), SongRows(m_pDlg->m_lbSongs));
    EXPECT_EQ(Paths({L"s1"}), StoredSongs("A"));
    EXPECT_EQ(0, m_pDlg->m_lbLists.GetCurSel());
}

TEST_F(PlayListWindow, DoubleClickRequestsTheSelectedSong) {
    Open();
    Notify(IDC_SONGS, LBN_DBLCLK);
    EXPECT_FALSE(g_bStartSong);
    m_pDlg->m_lbSongs.SetCurSel(1);
    Notify(IDC_SONGS, LBN_DBLCLK);
    EXPECT_EQ(CStringW(L"s2"), g_strSongPath);
    EXPECT_TRUE(g_bStartSong);
}

TEST_F(PlayListWindow, LoopButtonsSetThePlayModeAndCloseHides) {
    Open();
    Click(IDC_SINGLELOOP);
    EXPECT_EQ(PLAYMODE_REPEAT_SONG, g_nPlayMode);
    Click(IDC_LISTLOOP);
    EXPECT_EQ(PLAYMODE_REPEAT_LIST, g_nPlayMode);
    g_bShowList = true;
    m_pDlg->ShowWindow(SW_SHOW);
    Click(IDC_CLOSELIST);
    EXPECT_FALSE(m_pDlg->IsWindowVisible());
    EXPECT_FALSE(g_bShowList);
}

TEST_F(PlayListWindow, PressOnTheBackgroundStartsACaptionDrag) {
    Open();
    m_pDlg->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 40));
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, m_pDlg->m_hWnd, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE));
    EXPECT_EQ(static_cast<WPARAM>(HTCAPTION), msg.wParam);
    EXPECT_EQ(MAKELPARAM(30, 40), msg.lParam);
}

TEST_F(PlayListWindow, BackgroundIsTheBitmapPatternAndTheNameEditIsColoured) {
    Open();
    CClientDC dc(m_pDlg.get());
    const HDC hDC = dc;
    const auto hbrDialog = reinterpret_cast<HBRUSH>(
        m_pDlg->SendMessage(WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(hDC), reinterpret_cast<LPARAM>(m_pDlg->m_hWnd)));
    LOGBRUSH lb = {};
    ASSERT_TRUE(::GetObjectA(hbrDialog, sizeof(lb), &lb));
    EXPECT_EQ(static_cast<UINT>(BS_PATTERN), lb.lbStyle);

    const auto hbrEdit = reinterpret_cast<HBRUSH>(m_pDlg->SendMessage(
        WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(hDC), reinterpret_cast<LPARAM>(m_pDlg->GetDlgItem(IDC_LISTNAME))));
    EXPECT_EQ(::GetStockObject(NULL_BRUSH), hbrEdit);
    EXPECT_EQ(RGB(255, 100, 100), ::GetTextColor(hDC));
    EXPECT_EQ(RGB(0, 255, 0), ::GetBkColor(hDC));
}

TEST(PlayListFilter, TakesTheSoundExtensionsInAnyCase) {
    for (const wchar_t* pszExtension : {L"mp3", L"aif", L"asf", L"asx", L"wma", L"mpeg", L"mpg", L"snd", L"wmv", L"wav",
                                        L"mid", L"cad", L"flac", L"m4a", L"aac", L"ogg", L"oga", L"opus", L"alac"}) {
        EXPECT_TRUE(CPlayList::IsSupportedFile(L"C:\\音乐\\a." + CStringW(pszExtension)))
            << CStringW(pszExtension).ToUtf8();
    }
    EXPECT_TRUE(CPlayList::IsSupportedFile(L"C:\\A.MP3"));
    EXPECT_TRUE(CPlayList::IsSupportedFile(L"C:\\a.Mpeg"));
    // A folder is taken by its name alone; a path without a dot is all extension.
    EXPECT_TRUE(CPlayList::IsSupportedFile(L"C:\\专辑.mp3"));
    EXPECT_TRUE(CPlayList::IsSupportedFile(L"mp3"));
    EXPECT_TRUE(CPlayList::IsSupportedFile(L"C:\\A.FLAC"));
    for (const wchar_t* pszPath : {L"C:\\a.rmi", L"C:\\a.RMI", L"C:\\a.fla", L"C:\\a.txt", L"C:\\a.mp", L"C:\\a.mp33",
                                   L"C:\\a.mp3.txt", L"C:\\x.mp3\\song", L"C:\\a.", L"", L"C:\\amp3", L"C:\\a.ｍｐ3"})
        EXPECT_FALSE(CPlayList::IsSupportedFile(pszPath)) << CStringW(pszPath).ToUtf8();
}

}  // namespace
