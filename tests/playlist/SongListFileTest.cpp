// The song-list file is the user's only copy of the lists: these cases damage, lock, kill
// and craft it, and check that nothing the user stored is lost or leaked.
#include "playlist/CSongListStore.h"

#include <cstdio>

#include "framework/Holders.h"
#include "playlist/SongListFixture.h"

namespace {

// As the child of SaveKilledMidwayLeavesTheOldOrTheNewFile, this program adds songs in a loop
// until it is killed; it never reaches the tests.
const char kSaveLoopDirVar[] = "SONELLO_SAVE_LOOP_DIR";
const char kSaveLoopEventVar[] = "SONELLO_SAVE_LOOP_EVENT";

int RunSaveLoopIfChild() {
    char szDir[MAX_PATH], szEvent[MAX_PATH];
    if (!::GetEnvironmentVariableA(kSaveLoopDirVar, szDir, MAX_PATH) ||
        !::GetEnvironmentVariableA(kSaveLoopEventVar, szEvent, MAX_PATH))
        return 0;
    ::SetCurrentDirectoryA(szDir);
    CSongListStore::SetMessageFn([](HWND, const char*, const char*) {});
    const CHandle started(::OpenEventA(EVENT_MODIFY_STATE, FALSE, szEvent));
    CSongListStore store(nullptr);
    for (int i = 0;; ++i) {
        store.AddSong(L"C:\\歌\\" + std::to_wstring(i) + L".mp3", "默认");
        ::SetEvent(started.Get());
    }
}

const int g_nSaveLoopChild = RunSaveLoopIfChild();

class SongListFile : public SongListFixture {
protected:
    bool Exists(const char* pszName) const {
        return ::GetFileAttributesA(FilePath(pszName).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    CSongListStore m_store{nullptr};
};

const char kFresh[] = u8"<歌曲列表><列表1><列表名字>默认</列表名字></列表1></歌曲列表>\n";

TEST_F(SongListFile, UnreadableFileIsKeptUnderTheNextFreeNameAndReportedOnce) {
    const char* const kDamaged[] = {"<歌曲列表><列表1>", "", "\xFF\xFE garbage"};
    const char* const kKeptAs[] = {"MySongList.xml.bad", "MySongList.xml.bad1", "MySongList.xml.bad2"};
    for (int i = 0; i < 3; ++i) {
        WriteList(kDamaged[i]);
        std::vector<CString> names;
        std::vector<CStringW> songs;
        ASSERT_TRUE(m_store.LoadAll(names, songs));
        EXPECT_EQ(Rows({"默认"}), names);
        EXPECT_EQ(kFresh, FileBytes());
        ASSERT_EQ(static_cast<size_t>(i + 1), Messages().size());
        EXPECT_EQ(std::string("提示"), Messages()[i].caption);
        EXPECT_NE(std::string::npos, Messages()[i].text.find(std::string(kKeptAs[i]) + "，")) << Messages()[i].text;
        // A good file loads without a word.
        ASSERT_TRUE(m_store.LoadAll(names, songs));
        EXPECT_EQ(static_cast<size_t>(i + 1), Messages().size());
    }
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(kDamaged[i], FileBytes(kKeptAs[i]));
}

TEST_F(SongListFile, FileThatCanNeitherBeReadNorMovedIsNotOverwritten) {
    WriteList("<歌曲列表>");
    // Open without delete sharing: the rename is refused.
    CFileHandle file(
        ::CreateFileA(FilePath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file);
    std::vector<CString> names;
    std::vector<CStringW> songs;
    EXPECT_FALSE(m_store.LoadAll(names, songs));
    file.Reset();
    EXPECT_TRUE(names.empty());
    EXPECT_EQ("<歌曲列表>", FileBytes());
    EXPECT_FALSE(Exists("MySongList.xml.bad"));
    ASSERT_EQ(1u, Messages().size());
    EXPECT_EQ(std::string("提示"), Messages()[0].caption);
}

TEST_F(SongListFile, ReadOnlyFileIsReportedAndLeftAlone) {
    WriteList(kFresh);
    ASSERT_TRUE(::SetFileAttributesA(FilePath().c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(m_store.AddSong(L"s", "默认"));
    EXPECT_FALSE(m_store.AddSongs(Paths({L"s", L"t"}), "默认"));
    EXPECT_EQ(CString(), m_store.AddList());
    EXPECT_FALSE(m_store.RenameList("默认", "x"));
    EXPECT_FALSE(m_store.DeleteSong(L"s", "默认"));
    EXPECT_EQ(kFresh, FileBytes());
    EXPECT_FALSE(Exists("MySongList.xml.tmp"));
    ASSERT_EQ(5u, Messages().size());
    for (const StoreMessage& m : Messages())
        EXPECT_EQ(std::string("提示"), m.caption);
    // Reading still works.
    std::vector<CString> names;
    std::vector<CStringW> songs;
    EXPECT_TRUE(m_store.LoadAll(names, songs));
    EXPECT_EQ(Rows({"默认"}), names);
}

TEST_F(SongListFile, FailedWriteIsReportedAndTheOldFileStays) {
    // A folder squatting on the temporary name makes the write itself fail, as a full disk would.
    ASSERT_TRUE(::CreateDirectoryA(FilePath("MySongList.xml.tmp").c_str(), nullptr));
    std::vector<CString> names;
    std::vector<CStringW> songs;
    EXPECT_FALSE(m_store.LoadAll(names, songs));
    EXPECT_TRUE(names.empty());
    EXPECT_FALSE(Exists("MySongList.xml"));

    WriteList(kFresh);
    EXPECT_FALSE(m_store.AddSong(L"s", "默认"));
    EXPECT_EQ(kFresh, FileBytes());
    ASSERT_EQ(2u, Messages().size());
    EXPECT_EQ(std::string("提示"), Messages()[1].caption);

    // An unreadable file is still kept, and the user learns where, though no new one is made.
    WriteList("<歌曲列表>");
    EXPECT_FALSE(m_store.LoadAll(names, songs));
    EXPECT_EQ("<歌曲列表>", FileBytes("MySongList.xml.bad"));
    EXPECT_FALSE(Exists("MySongList.xml"));
    ASSERT_EQ(4u, Messages().size());
    EXPECT_NE(std::string::npos, Messages()[3].text.find("MySongList.xml.bad")) << Messages()[3].text;
}

TEST_F(SongListFile, SaveKilledMidwayLeavesTheOldOrTheNewFile) {
    // A long list makes each save long enough to be hit.
    std::vector<CStringW> many;
    for (int i = 0; i < 4000; ++i)
        many.push_back(L"D:\\音乐\\第" + std::to_wstring(i) + L"首.mp3");
    std::vector<CString> names;
    std::vector<CStringW> songs;
    ASSERT_TRUE(m_store.LoadAll(names, songs));
    ASSERT_TRUE(m_store.AddSongs(many, "默认"));

    char szEvent[64];
    std::snprintf(szEvent, sizeof(szEvent), "SonelloSaveLoop%lu", ::GetCurrentProcessId());
    const CHandle started(::CreateEventA(nullptr, TRUE, FALSE, szEvent));
    char szExe[MAX_PATH];
    ::GetModuleFileNameA(nullptr, szExe, MAX_PATH);
    ::SetEnvironmentVariableA(kSaveLoopDirVar, m_dir.Path().c_str());
    ::SetEnvironmentVariableA(kSaveLoopEventVar, szEvent);
    size_t nSongs = many.size();
    for (int nRound = 0; nRound < 30; ++nRound) {
        ::ResetEvent(started.Get());
        std::string strCommand = std::string("\"") + szExe + "\" --gtest_filter=-*";
        STARTUPINFOA si = {sizeof(si)};
        PROCESS_INFORMATION pi = {};
        ASSERT_TRUE(::CreateProcessA(szExe, &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
        const CHandle process(pi.hProcess), thread(pi.hThread);
        const DWORD dwStarted = ::WaitForSingleObject(started.Get(), 30000);
        ::Sleep(static_cast<DWORD>(nRound * 7 % 41));
        ::TerminateProcess(process.Get(), 1);
        ::WaitForSingleObject(process.Get(), INFINITE);
        ASSERT_EQ(WAIT_OBJECT_0, dwStarted);

        ASSERT_TRUE(m_store.LoadAll(names, songs));
        ASSERT_TRUE(Messages().empty()) << "round " << nRound << ": " << Messages()[0].text;
        ASSERT_GT(songs.size(), nSongs);
        nSongs = songs.size();
    }
    ::SetEnvironmentVariableA(kSaveLoopDirVar, nullptr);
    ::SetEnvironmentVariableA(kSaveLoopEventVar, nullptr);
}

// A file written by another tool in UTF-16 or GBK lost every list at the first save: the
// bytes became UTF-8 under the old declaration.
TEST_F(SongListFile, DeclaredEncodingsReadBackTheSameListsAfterAnEdit) {
    const std::wstring kBody =
        L"<歌曲列表>\r\n <列表1><列表名字>默认</列表名字><歌曲路径>C:\\歌 &amp; 曲.mp3</歌曲路径></列表1>\r\n"
        L" <列表2><列表名字>外文</列表名字><歌曲路径>D:\\é&#xD55C;.wav</歌曲路径></列表2>\r\n</歌曲列表>\r\n";
    auto encode = [](const std::wstring& text, UINT nCodePage) {
        if (nCodePage == 1200)
            return std::string("\xFF\xFE") + std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
        std::string bytes(text.size() * 4, '\0');
        bytes.resize(::WideCharToMultiByte(nCodePage, 0, text.data(), static_cast<int>(text.size()), &bytes[0],
                                           static_cast<int>(bytes.size()), nullptr, nullptr));
        return nCodePage == CP_UTF8 ? "\xEF\xBB\xBF" + bytes : bytes;
    };
    const struct {
        const wchar_t* pszDeclaration;
        UINT nCodePage;
    } kFiles[] = {{L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>", 1200},
                  {L"<?xml version='1.0' encoding='GBK' ?>", 936},
                  {L"<?xml version=\"1.0\" encoding=\"utf-8\"?>", CP_UTF8}};
    for (const auto& file : kFiles) {
        WriteList(encode(file.pszDeclaration + kBody, file.nCodePage));
        std::vector<CString> names;
        std::vector<CStringW> songs;
        ASSERT_TRUE(m_store.LoadAll(names, songs));
        ASSERT_EQ(Rows({"默认", "外文"}), names);
        EXPECT_EQ(Paths({L"C:\\歌 & 曲.mp3"}), songs);
        ASSERT_TRUE(m_store.AddSong(L"C:\\新.mp3", "外文"));
        EXPECT_EQ(CString("新建列表3"), m_store.AddList());
        ASSERT_TRUE(m_store.LoadAll(names, songs));
        EXPECT_EQ(Rows({"默认", "外文", "新建列表3"}), names);
        EXPECT_EQ(Paths({L"C:\\歌 & 曲.mp3"}), songs);
        ASSERT_TRUE(m_store.ListSongs("外文", songs));
        EXPECT_EQ(Paths({L"D:\\é\xD55C.wav", L"C:\\新.mp3"}), songs);
        EXPECT_EQ(0u, FileBytes().find("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")) << FileBytes().substr(0, 60);
        EXPECT_TRUE(Messages().empty()) << Messages()[0].text;
    }
}

TEST_F(SongListFile, TemporaryFileOfAKilledSaveGoesAtTheNextStart) {
    WriteList(kFresh);
    WriteFileBytes(FilePath("MySongList.xml.tmp"), "<歌曲列表><列表1><列表名");
    std::vector<CString> names;
    std::vector<CStringW> songs;
    ASSERT_TRUE(m_store.LoadAll(names, songs));
    EXPECT_EQ(Rows({"默认"}), names);
    EXPECT_FALSE(Exists("MySongList.xml.tmp"));
    EXPECT_EQ(kFresh, FileBytes());
}

TEST_F(SongListFile, CraftedFileCannotPullOtherFilesIn) {
    WriteFileBytes(m_dir.File("secret.txt"), "TOPSECRET");
    WriteFileBytes(m_dir.File("evil.dtd"), "<!ENTITY y \"TOPSECRET\">");
    const char* const kCrafted[] = {
        u8"<!DOCTYPE 歌曲列表 [<!ENTITY x SYSTEM \"secret.txt\">]>"
        u8"<歌曲列表><列表1><列表名字>&x;</列表名字><歌曲路径>&x;</歌曲路径></列表1></歌曲列表>",
        u8"<!DOCTYPE 歌曲列表 SYSTEM \"evil.dtd\"><歌曲列表><列表1><列表名字>&y;</列表名字></列表1></歌曲列表>",
        u8"<!DOCTYPE 歌曲列表 [<!ENTITY % p SYSTEM \"evil.dtd\"> %p;]>"
        u8"<歌曲列表><列表1><列表名字>&y;</列表名字></列表1></歌曲列表>",
    };
    for (const char* pszCrafted : kCrafted) {
        WriteList(pszCrafted);
        std::vector<CString> names;
        std::vector<CStringW> songs;
        EXPECT_TRUE(m_store.LoadAll(names, songs));
        // Whether the parser refuses the file or leaves the entity empty, the secret stays out.
        for (const CString& str : names)
            EXPECT_EQ(-1, str.Find("TOPSECRET"));
        for (const CStringW& str : songs)
            EXPECT_EQ(std::wstring::npos, str.Str().find(L"TOPSECRET"));
        if (!names.empty())
            m_store.AddList();
        EXPECT_EQ(std::string::npos, FileBytes().find("TOPSECRET"));
        ::DeleteFileA(FilePath("MySongList.xml.bad").c_str());
    }
}

}  // namespace
