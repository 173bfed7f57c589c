// Songs named in any script, from the drop on the song list to the device, the path label, the
// lyric file and the next start of the player. Wine gives every file a short name (with a '~'),
// so a disk without them cannot be made here: none may show up instead of the name.
#include "MainWindowFixture.h"

namespace {

class SongNames : public MainWindow {
protected:
    // The bytes under a name the ANSI calls may not spell.
    void MakeFile(const CStringW& strPath, const std::string& bytes) {
        WriteFileBytes(m_dir.File("file.tmp"), bytes);
        ASSERT_TRUE(::MoveFileW(Widen(m_dir.File("file.tmp")).c_str(), strPath));
    }
    // A double-click on the row, the band's tick that sees the request, the main window's start.
    void PlayRow(int nRow) {
        Songs().SetCurSel(nRow);
        g_pPlayList->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SONGS, LBN_DBLCLK), 0);
        g_pDlgLrc->SendMessage(WM_TIMER, 1);
        Tick(TIMER_SECOND);
    }
    void Restart() {
        m_dlg.reset();
        CSound::Close();
        ResetPlayerState();
        m_dlg = std::make_unique<CSonelloDlg>();
        ASSERT_TRUE(m_dlg->Create(IDD_SONELLO_DIALOG, nullptr));
    }
    std::vector<CStringW> SongRows() {
        std::vector<CStringW> rows(static_cast<size_t>(Songs().GetCount()));
        for (size_t i = 0; i < rows.size(); ++i)
            Songs().GetText(static_cast<int>(i), rows[i]);
        return rows;
    }
};

TEST_F(SongNames, EveryScriptPlaysIsStoredSurvivesARestartAndFindsItsLyricsByItsOwnName) {
    const std::wstring kNames[] = {L"한국어 노래.wav", L"เพลงไทย.wav", L"😀 emoji.wav",
                                   L"Søren - Ærø.wav", L"춘풍.mp3",    L"春风.mp3.wav"};
    std::vector<CStringW> paths;
    for (size_t i = 0; i < std::size(kNames); ++i) {
        paths.push_back(Widen(m_dir.Path()) + L"\\" + kNames[i]);
        const bool bMp3 = CSound::GetExtension(kNames[i]) == L"mp3";
        WriteWav(m_dir.File("tone.wav"), 1500);
        MakeFile(paths[i], ReadFileBytes(bMp3 ? BuildDataPath("tone.mp3") : m_dir.File("tone.wav")));
        MakeFile(L"Lrc\\" + kNames[i].substr(0, kNames[i].find(L'.')) + L".lrc",
                 "[00:00.00]第" + std::to_string(i) + "首");
    }
    g_pPlayList->SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(MakeWideDrop({paths.begin(), paths.end()})));
    const std::string strFile = ReadFileBytes(m_dir.File("MySongList.xml"));
    EXPECT_EQ(std::string::npos, strFile.find('~'));
    for (const CStringW& strPath : paths)
        EXPECT_NE(std::string::npos, strFile.find(u8"<歌曲路径>" + strPath.ToUtf8() + u8"</歌曲路径>"));

    // Wine's own controls keep UTF-16 text whatever they were made as; Windows' ANSI ones turn
    // it into GBK.
    EXPECT_TRUE(::IsWindowUnicode(Songs()) && ::IsWindowUnicode(m_dlg->GetDlgItem(IDC_PATH)));
    for (int nRound = 0; nRound < 2; ++nRound, Restart()) {
        ASSERT_EQ(paths, SongRows()) << "round " << nRound;
        for (int i = 0; i < static_cast<int>(paths.size()); ++i) {
            PlayRow(i);
            EXPECT_TRUE(CSound::m_bOpened && g_bPlaying) << paths[i].ToUtf8();
            wchar_t szLabel[MAX_PATH] = {};
            ::GetDlgItemTextW(m_dlg->m_hWnd, IDC_PATH, szLabel, MAX_PATH);
            EXPECT_TRUE(paths[i] == szLabel) << CStringW(szLabel).ToUtf8();
            EXPECT_EQ(L"第" + std::to_wstring(i) + L"首", g_pDlgLrc->Model().State().bLrcLoaded
                                                              ? g_pDlgLrc->Model().State().strTopLine.Str()
                                                              : L"no lyrics");
        }
        Click(IDC_NEXT);
        EXPECT_TRUE(paths[0] == g_strSongPath) << "Next wraps to the first row";
    }
}

// The last version stored a short path for such a name; it still names the file.
TEST_F(SongNames, AShortPathAnEarlierVersionStoredStillPlays) {
    WriteWav(m_dir.File("tone.wav"), 1500);
    const std::wstring strPath = Widen(m_dir.Path()) + L"\\한국어.wav";
    MakeFile(strPath, ReadFileBytes(m_dir.File("tone.wav")));
    wchar_t szShort[MAX_PATH] = {};
    ASSERT_NE(0u, ::GetShortPathNameW(strPath.c_str(), szShort, MAX_PATH));
    ASSERT_NE(strPath, szShort);
    WriteFileBytes(m_dir.File("MySongList.xml"), u8"<歌曲列表><列表1><列表名字>默认</列表名字><歌曲路径>" +
                                                     CStringW(szShort).ToUtf8() + u8"</歌曲路径></列表1></歌曲列表>");
    Restart();
    ASSERT_EQ(std::vector<CStringW>{szShort}, SongRows());
    PlayRow(0);
    EXPECT_TRUE(CSound::m_bOpened && g_bPlaying);
}

}  // namespace
