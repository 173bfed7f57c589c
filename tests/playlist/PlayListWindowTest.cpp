#include "playlist/CPlayList.h"

#include <shlobj.h>

#include <cstring>
#include <memory>

#include "playlist/SongListFixture.h"
#include "sound/CSound.h"
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

// As Explorer makes it: the paths in UTF-16.
HDROP MakeWideDrop(const std::vector<std::wstring>& paths) {
    size_t nChars = 1;
    for (const std::wstring& path : paths)
        nChars += path.size() + 1;
    const HGLOBAL hGlobal = ::GlobalAlloc(GHND, sizeof(DROPFILES) + nChars * sizeof(wchar_t));
    auto* pDrop = static_cast<DROPFILES*>(::GlobalLock(hGlobal));
    pDrop->pFiles = sizeof(DROPFILES);
    pDrop->fWide = TRUE;
    auto* pszNext = reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(pDrop) + sizeof(DROPFILES));
    for (const std::wstring& path : paths) {
        std::memcpy(pszNext, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
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
    static std::vector<CString> BoxRows(const CListBox& box) {
        std::vector<CString> rows(static_cast<size_t>(box.GetCount()));
        for (size_t i = 0; i < rows.size(); ++i)
            box.GetText(static_cast<int>(i), rows[i]);
        return rows;
    }
    std::vector<CString> StoredSongs(const char* pszList) {
        std::vector<CString> songs;
        CSongListStore(nullptr).ListSongs(pszList, songs);
        return songs;
    }
    std::vector<CString> StoredNames() {
        std::vector<CString> names, songs;
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
    EXPECT_EQ(Rows({"s1", "s2"}), BoxRows(m_pDlg->m_lbSongs));
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
    EXPECT_EQ(Rows({"s3"}), BoxRows(m_pDlg->m_lbSongs));
    SelectList(0);
    EXPECT_EQ(Rows({"s1", "s2"}), BoxRows(m_pDlg->m_lbSongs));
    EXPECT_EQ(LB_ERR, m_pDlg->m_lbSongs.GetCurSel());
}

TEST_F(PlayListWindow, DropAddsOnlySoundFilesInDropOrderToBoxAndFile) {
    Open();
    SelectList(1);
    Drop({"C:\\a.txt", "C:\\b.RMI", "C:\\c.MP3", "C:\\d.fla", "C:\\歌.wav", "C:\\c.MP3", "C:\\e.Opus"});
    const std::vector<CString> expected = Rows({"s3", "C:\\c.MP3", "C:\\歌.wav", "C:\\c.MP3", "C:\\e.Opus"});
    EXPECT_EQ(expected, BoxRows(m_pDlg->m_lbSongs));
    EXPECT_EQ(expected, StoredSongs("B"));
    EXPECT_EQ(Rows({"s1", "s2"}), StoredSongs("A"));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PlayListWindow, LongDroppedPathArrivesWhole) {
    Open();
    const std::string strLong = "C:\\" + std::string(250, 'x') + "\\第一首歌.mp3";
    ASSERT_GT(strLong.size(), 199u);
    Drop({strLong});
    EXPECT_EQ(Rows({"s1", "s2", strLong.c_str()}), BoxRows(m_pDlg->m_lbSongs));
    EXPECT_EQ(Rows({"s1", "s2", strLong.c_str()}), StoredSongs("A"));
}

// Names outside GBK used to be read as "???.wav", a path that names no file.
TEST_F(PlayListWindow, DroppedNamesOutsideGbkAreAddedByAPathThatOpensThem) {
    Open();
    const std::wstring strDir = Widen(m_dir.Path()) + L"\\";
    const std::wstring kInGbk = strDir + L"é和ü.wav";
    const std::wstring kOutside[] = {strDir + L"한국어.wav", strDir + L"emoji😀.wav", strDir + L"Ünïcödé.mp3"};
    const std::wstring kMissing = strDir + L"없는.wav";  // no file, so no short name either
    const std::wstring kMpeg = strDir + L"노래.mpeg";    // its short name ends in .MPE
    const std::wstring kText = strDir + L"한국어.txt";   // no sound file: passed over in silence
    for (const std::wstring& strFile : {kInGbk, kOutside[0], kOutside[1], kOutside[2], kMpeg, kText}) {
        WriteWav(m_dir.File("tone.wav"), 300);
        ASSERT_TRUE(::MoveFileW(Widen(m_dir.File("tone.wav")).c_str(), strFile.c_str()));
    }
    m_pDlg->SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(MakeWideDrop(
                                          {kInGbk, kOutside[0], kText, kMissing, kOutside[1], kMpeg, kOutside[2]})));

    std::vector<CString> expected = Rows({"s1", "s2", (m_dir.Path() + "\\é和ü.wav").c_str()});
    for (const std::wstring& strFile : kOutside) {
        wchar_t szShort[MAX_PATH] = {};
        ASSERT_NE(0u, ::GetShortPathNameW(strFile.c_str(), szShort, MAX_PATH));
        char szAnsi[MAX_PATH] = {};
        ::WideCharToMultiByte(CP_ACP, 0, szShort, -1, szAnsi, MAX_PATH, nullptr, nullptr);
        expected.push_back(szAnsi);
    }
    EXPECT_EQ(expected, BoxRows(m_pDlg->m_lbSongs));
    EXPECT_EQ(expected, StoredSongs("A"));
    EXPECT_TRUE(Messages().empty());
    for (size_t i = 2; i < expected.size(); ++i)
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(expected[i])) << expected[i].GetString();
    // The device opens the short path.
    ASSERT_EQ(CSound::OpenResult::Done, CSound::Open(CStringW::FromGbk(expected[3].Str())));
    EXPECT_TRUE(CSound::m_bOpened);
    CSound::Close();

    // The two that no path reaches are named in one notice.
    ASSERT_EQ(1u, g_notices.size());
    EXPECT_EQ(L"提示", g_notices[0].caption);
    EXPECT_NE(std::wstring::npos, g_notices[0].text.find(kMissing));
    EXPECT_NE(std::wstring::npos, g_notices[0].text.find(kMpeg));
    EXPECT_EQ(std::wstring::npos, g_notices[0].text.find(kText));
    EXPECT_EQ(std::wstring::npos, g_notices[0].text.find(kOutside[0]));
}

TEST_F(PlayListWindow, DropWithNoListSelectedStoresNothing) {
    Open();
    Click(IDC_DELETELIST);
    EXPECT_EQ(Rows({"B"}), BoxRows(m_pDlg->m_lbLists));
    EXPECT_EQ(LB_ERR, m_pDlg->m_lbLists.GetCurSel());
    Drop({"C:\\c.mp3"});
    EXPECT_EQ(Rows({"s1", "s2"}), BoxRows(m_pDlg->m_lbSongs));
    // Deleting a list only drops its row; the file keeps it.
    EXPECT_EQ(kTwoLists, FileBytes());
}

TEST_F(PlayListWindow, FailedSavesChangeNoBoxAndAreReportedOnThisWindow) {
    Open();
    ASSERT_TRUE(::SetFileAttributesA(FilePath().c_str(), FILE_ATTRIBUTE_READONLY));
    Drop({"C:\\c.mp3", "C:\\d.mp3"});
    Click(IDC_NEWLIST);
    Rename(1, "C");
    EXPECT_EQ(Rows({"s1", "s2"}), BoxRows(m_pDlg->m_lbSongs));
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
    EXPECT_EQ(Rows({"s3", "C:\\c.mp3"}), StoredSongs(""));
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
    EXPECT_EQ(Rows({"x", "s1", "x"}), BoxRows(m_pDlg->m_lbSongs));
    m_pDlg->m_lbSongs.SetCurSel(2);
    Click(IDC_DELETESONG);
    EXPECT_EQ(Rows({"s1"}), BoxRows(m_pDlg->m_lbSongs));
    EXPECT_EQ(Rows({"s1"}), StoredSongs("A"));
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
    for (const char* pszExtension : {"mp3", "aif", "asf", "asx", "wma", "mpeg", "mpg", "snd", "wmv", "wav", "mid",
                                     "cad", "flac", "m4a", "aac", "ogg", "oga", "opus", "alac"}) {
        EXPECT_TRUE(CPlayList::IsSupportedFile(CString("C:\\音乐\\a.") + pszExtension)) << pszExtension;
    }
    EXPECT_TRUE(CPlayList::IsSupportedFile("C:\\A.MP3"));
    EXPECT_TRUE(CPlayList::IsSupportedFile("C:\\a.Mpeg"));
    // A folder is taken by its name alone; a path without a dot is all extension.
    EXPECT_TRUE(CPlayList::IsSupportedFile("C:\\专辑.mp3"));
    EXPECT_TRUE(CPlayList::IsSupportedFile("mp3"));
    EXPECT_TRUE(CPlayList::IsSupportedFile("C:\\A.FLAC"));
    for (const char* pszPath : {"C:\\a.rmi", "C:\\a.RMI", "C:\\a.fla", "C:\\a.txt", "C:\\a.mp", "C:\\a.mp33",
                                "C:\\a.mp3.txt", "C:\\x.mp3\\song", "C:\\a.", "", "C:\\amp3"})
        EXPECT_FALSE(CPlayList::IsSupportedFile(pszPath)) << pszPath;
}

}  // namespace
