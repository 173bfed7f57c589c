#include "playlist/CSongListStore.h"

#include "playlist/SongListFixture.h"

namespace {

class SongListStore : public SongListFixture {
protected:
    std::vector<CString> Names() {
        std::vector<CString> names;
        std::vector<CStringW> songs;
        EXPECT_TRUE(m_store.LoadAll(names, songs));
        return names;
    }
    std::vector<CStringW> Songs(const char* pszList) {
        std::vector<CStringW> songs;
        EXPECT_TRUE(m_store.ListSongs(pszList, songs));
        return songs;
    }

    CSongListStore m_store{nullptr};
};

const char kTwoLists[] =
    u8"<歌曲列表><列表1><列表名字>A</列表名字><歌曲路径>s1</歌曲路径><歌曲路径>s2</歌曲路径></列表1>"
    u8"<列表2><列表名字>B</列表名字><歌曲路径>s3</歌曲路径></列表2></歌曲列表>";

TEST_F(SongListStore, MissingFileBecomesTheCompactOneListDocument) {
    std::vector<CString> names;
    std::vector<CStringW> songs;
    ASSERT_TRUE(m_store.LoadAll(names, songs));
    EXPECT_EQ(Rows({"默认"}), names);
    EXPECT_TRUE(songs.empty());
    // UTF-8, no declaration, no byte-order mark; msxml3 ends the text with one line feed.
    EXPECT_EQ(u8"<歌曲列表><列表1><列表名字>默认</列表名字></列表1></歌曲列表>\n", FileBytes());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(SongListStore, ReadsNamesInFileOrderAndTheSongsOfEachList) {
    WriteList(kTwoLists);
    std::vector<CString> names;
    std::vector<CStringW> songs;
    ASSERT_TRUE(m_store.LoadAll(names, songs));
    EXPECT_EQ(Rows({"A", "B"}), names);
    EXPECT_EQ(Paths({L"s1", L"s2"}), songs);
    EXPECT_EQ(Paths({L"s3"}), Songs("B"));
    EXPECT_TRUE(Songs("C").empty());
    // Reading never writes.
    EXPECT_EQ(kTwoLists, FileBytes());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(SongListStore, NewListsAreNumberedByTheRootsChildCount) {
    Names();
    EXPECT_EQ(CString("新建列表2"), m_store.AddList());
    EXPECT_TRUE(m_store.AddSong(L"D:\\音乐\\歌.mp3", "新建列表2"));
    EXPECT_EQ(
        u8"<歌曲列表><列表1><列表名字>默认</列表名字></列表1>"
        u8"<列表2><列表名字>新建列表2</列表名字><歌曲路径>D:\\音乐\\歌.mp3</歌曲路径></列表2></歌曲列表>\n",
        FileBytes());
    // The count, not the names, decides: a renamed list does not free its number.
    EXPECT_TRUE(m_store.RenameList("新建列表2", "新建列表3"));
    EXPECT_EQ(CString("新建列表3"), m_store.AddList());
    EXPECT_EQ(Rows({"默认", "新建列表3", "新建列表3"}), Names());
    EXPECT_NE(std::string::npos, FileBytes().find(u8"<列表3><列表名字>新建列表3</列表名字></列表3>"));
}

TEST_F(SongListStore, ListsSharingANameTakeSongsInTheFirstButAllAreRenamed) {
    WriteList(
        u8"<歌曲列表><列表1><列表名字>同名</列表名字><歌曲路径>a</歌曲路径></列表1>"
        u8"<列表2><列表名字>同名</列表名字><歌曲路径>b</歌曲路径></列表2></歌曲列表>");
    EXPECT_TRUE(m_store.AddSong(L"c", "同名"));
    EXPECT_EQ(Paths({L"a", L"c"}), Songs("同名"));
    EXPECT_TRUE(m_store.RenameList("同名", "新名"));
    EXPECT_EQ(
        u8"<歌曲列表><列表1><列表名字>新名</列表名字><歌曲路径>a</歌曲路径><歌曲路径>c</歌曲路径></列表1>"
        u8"<列表2><列表名字>新名</列表名字><歌曲路径>b</歌曲路径></列表2></歌曲列表>\n",
        FileBytes());
}

TEST_F(SongListStore, HandIndentedFileIsReadLikeACompactOneAndRewrittenCompact) {
    WriteList(
        u8"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
        u8"<歌曲列表>\r\n  <列表1>\r\n    <列表名字>默认</列表名字>\r\n    <歌曲路径>s1</歌曲路径>\r\n  </列表1>\r\n"
        u8"  <列表2>\r\n    <列表名字>B</列表名字>\r\n  </列表2>\r\n</歌曲列表>\r\n");
    std::vector<CString> names;
    std::vector<CStringW> songs;
    ASSERT_TRUE(m_store.LoadAll(names, songs));
    EXPECT_EQ(Rows({"默认", "B"}), names);
    EXPECT_EQ(Paths({L"s1"}), songs);
    // Whitespace between elements is no child, so the next list is the third.
    EXPECT_EQ(CString("新建列表3"), m_store.AddList());
    EXPECT_EQ(
        u8"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        u8"<歌曲列表><列表1><列表名字>默认</列表名字><歌曲路径>s1</歌曲路径></列表1>"
        u8"<列表2><列表名字>B</列表名字></列表2><列表3><列表名字>新建列表3</列表名字></列表3></歌曲列表>\n",
        FileBytes());
}

TEST_F(SongListStore, RootOfAnyNameServesAndKeepsItsName) {
    WriteList(u8"<Lists><L><列表名字>A</列表名字></L></Lists>");
    EXPECT_EQ(Rows({"A"}), Names());
    EXPECT_TRUE(m_store.AddSong(L"s", "A"));
    EXPECT_EQ(u8"<Lists><L><列表名字>A</列表名字><歌曲路径>s</歌曲路径></L></Lists>\n", FileBytes());
}

TEST_F(SongListStore, RootWithoutListsShowsNoneAndNumbersFromOne) {
    WriteList(u8"<歌曲列表/>");
    std::vector<CString> names;
    std::vector<CStringW> songs;
    ASSERT_TRUE(m_store.LoadAll(names, songs));
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(CString("新建列表1"), m_store.AddList());
    EXPECT_EQ(u8"<歌曲列表><列表1><列表名字>新建列表1</列表名字></列表1></歌曲列表>\n", FileBytes());
}

TEST_F(SongListStore, DeleteSongRemovesEveryCopyInThatListOnly) {
    WriteList(
        u8"<歌曲列表><列表1><列表名字>A</列表名字><歌曲路径>x</歌曲路径><歌曲路径>x</歌曲路径>"
        u8"<歌曲路径>s1</歌曲路径><歌曲路径>x</歌曲路径><歌曲路径>s2</歌曲路径><歌曲路径>x</歌曲路径></列表1>"
        u8"<列表2><列表名字>B</列表名字><歌曲路径>x</歌曲路径></列表2></歌曲列表>");
    EXPECT_TRUE(m_store.DeleteSong(L"x", "A"));
    EXPECT_EQ(Paths({L"s1", L"s2"}), Songs("A"));
    EXPECT_EQ(Paths({L"x"}), Songs("B"));
    // Paths compare whole and case-sensitively.
    EXPECT_TRUE(m_store.DeleteSong(L"S1", "A"));
    EXPECT_TRUE(m_store.DeleteSong(L"s", "A"));
    EXPECT_EQ(Paths({L"s1", L"s2"}), Songs("A"));
}

TEST_F(SongListStore, ListWhoseNameIsNotFirstTakesNoSongsButTheFileIsStillWritten) {
    const char kHandEdited[] = u8"<歌曲列表><列表1><歌曲路径>s1</歌曲路径><列表名字>A</列表名字></列表1></歌曲列表>";
    WriteList(kHandEdited);
    EXPECT_TRUE(m_store.AddSong(L"s2", "A"));
    EXPECT_EQ(std::string(kHandEdited) + "\n", FileBytes());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(SongListStore, RenameOfAnUnknownNameRewritesTheSameContent) {
    WriteList(kTwoLists);
    EXPECT_TRUE(m_store.RenameList("C", "D"));
    EXPECT_EQ(std::string(kTwoLists) + "\n", FileBytes());
}

TEST_F(SongListStore, BatchAddWritesExactlyWhatOneAddPerSongWrites) {
    // Start from a file the store has never written, where the first list of the name is not
    // the first list and a same-named list follows.
    const char kStart[] =
        u8"<?xml version=\"1.0\"?>\n<歌曲列表>\n <列表1><歌曲路径>z</歌曲路径><列表名字>A</列表名字></列表1>\n"
        u8" <列表2><列表名字>A</列表名字><歌曲路径>y</歌曲路径></列表2>\n"
        u8" <列表3><列表名字>A</列表名字></列表3>\n</歌曲列表>\n";
    const std::vector<CStringW> paths = Paths({L"C:\\一.mp3", L"C:\\二.wav", L"C:\\一.mp3", L"D:\\x y\\&<>.mid"});
    for (const char* pszList : {"A", "missing"}) {
        ScratchDir batchDir;
        WriteFileBytes(batchDir.File("MySongList.xml"), kStart);
        WriteList(kStart);
        for (const CStringW& strPath : paths)
            ASSERT_TRUE(m_store.AddSong(strPath, pszList));
        {
            CurrentDirScope inBatchDir(batchDir.Path());
            ASSERT_TRUE(m_store.AddSongs(paths, pszList));
        }
        EXPECT_EQ(FileBytes(), ReadFileBytes(batchDir.File("MySongList.xml"))) << pszList;
    }
    // The songs went to the second list, the first to start with its name.
    WriteList(kStart);
    ASSERT_TRUE(m_store.AddSongs(paths, "A"));
    EXPECT_NE(std::string::npos,
              FileBytes().find(u8"<列表2><列表名字>A</列表名字><歌曲路径>y</歌曲路径><歌曲路径>C:\\一.mp3"
                               u8"</歌曲路径><歌曲路径>C:\\二.wav</歌曲路径><歌曲路径>C:\\一.mp3</歌曲路径>"
                               u8"<歌曲路径>D:\\x y\\&amp;&lt;&gt;.mid</歌曲路径></列表2>"));
}

TEST_F(SongListStore, EditsOfAFileGoneOrDamagedSinceStartReportAndWriteNothing) {
    Names();
    ASSERT_TRUE(::DeleteFileA(FilePath().c_str()));
    EXPECT_FALSE(m_store.AddSong(L"s", "默认"));
    EXPECT_FALSE(m_store.AddSongs(Paths({L"s", L"t"}), "默认"));
    EXPECT_EQ(CString(), m_store.AddList());
    EXPECT_FALSE(m_store.RenameList("默认", "x"));
    EXPECT_FALSE(m_store.DeleteSong(L"s", "默认"));
    std::vector<CStringW> songs;
    EXPECT_FALSE(m_store.ListSongs("默认", songs));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(FilePath().c_str()));

    WriteList("<歌曲列表><列表1>");
    EXPECT_FALSE(m_store.AddSong(L"s", "默认"));
    EXPECT_EQ(CString(), m_store.AddList());
    EXPECT_EQ("<歌曲列表><列表1>", FileBytes());

    ASSERT_EQ(8u, Messages().size());
    for (const StoreMessage& m : Messages()) {
        EXPECT_EQ(std::string("获取root失败！"), m.text);
        EXPECT_EQ(std::string("提示"), m.caption);
    }
}

}  // namespace
