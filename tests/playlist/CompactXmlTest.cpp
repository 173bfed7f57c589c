// The compact song-list file is read and changed without the DOM; it must answer and write
// exactly what the DOM would, or long lists and short ones would behave differently.
#include "playlist/CCompactXml.h"

#include <functional>

#include "playlist/CXmlDoc.h"
#include "playlist/SongListFixture.h"

namespace {

class CompactXml : public SongListFixture {
protected:
    // What the DOM writes back after loading bytes.
    std::string ThroughDom(const std::string& bytes) {
        WriteList(bytes);
        CXmlDoc doc;
        EXPECT_TRUE(SUCCEEDED(doc.Create()));
        if (!doc.Load("MySongList.xml"))
            return "(not XML)";
        EXPECT_TRUE(SUCCEEDED(doc.Save("MySongList.xml")));
        return FileBytes();
    }

    static std::string LoadAll(CSongListStore& store) {
        std::vector<CString> names;
        std::vector<CStringW> songs;
        std::string out = std::to_string(store.LoadAll(names, songs));
        for (const CString& s : names)
            out += "|" + s.Str();
        for (const CStringW& s : songs)
            out += "/" + s.ToUtf8();
        return out;
    }

    static std::string ListSongs(CSongListStore& store, const char* pszList) {
        std::vector<CStringW> songs;
        std::string out = std::to_string(store.ListSongs(pszList, songs));
        for (const CStringW& s : songs)
            out += "/" + s.ToUtf8();
        return out;
    }

    // Runs the steps on the compact file and on the same file with a byte-order mark, which sends
    // it through the DOM: each step must answer the same and leave the same bytes.
    void CompareWithDom(std::string compactBytes, const std::vector<std::function<std::string()>>& steps) {
        ASSERT_TRUE(CCompactXml::IsCompact(compactBytes));
        ScratchDir domDir;
        std::string domBytes = compactBytes;
        for (size_t i = 0; i < steps.size(); ++i) {
            WriteList(compactBytes);
            const std::string compactAnswer = steps[i]();
            compactBytes = FileBytes();
            CurrentDirScope inDomDir(domDir.Path());
            WriteFileBytes(domDir.File("MySongList.xml"), "\xEF\xBB\xBF" + domBytes);
            EXPECT_EQ(steps[i](), compactAnswer) << "step " << i;
            domBytes = ReadFileBytes(domDir.File("MySongList.xml"));
            // Reading leaves the mark; every save drops it.
            if (domBytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
                domBytes.erase(0, 3);
            ASSERT_EQ(domBytes, compactBytes) << "step " << i;
        }
    }
};

TEST_F(CompactXml, TakesOnlyWhatTheDomWritesBackUnchanged) {
    const struct {
        const char* pszBytes;
        bool bCompact;
    } kFiles[] = {
        {u8"<歌曲列表><列表1><列表名字>默认</列表名字><歌曲路径>D:\\歌 &amp; 曲\\a.mp3</歌曲路径></列表1></歌曲列表>\n",
         true},
        {u8"<?xml version=\"1.0\"?>\n<r><L><n>a</n></L></r>\n", true},
        {u8"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<r><L><n>a</n></L></r>\n", true},
        {u8"<r/>\n", true},
        {u8"<r><L/><L-2.x_><n/><s>x</s></L-2.x_></r>\n", true},
        {u8"<r><L><n>a  &lt;b&gt; &amp; &lt;\"c\" 'd'\te\nf&#13;g</n></L></r>\n", true},
        // The DOM adds the line end, drops spaces, rewrites quotes, empties and escapes.
        {u8"<r><L><n>a</n></L></r>", false},
        {u8"<r>\n <L><n>a</n></L>\n</r>\n", false},
        {u8"<?xml version='1.0'?>\n<r><L><n>a</n></L></r>\n", false},
        {u8"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<r><L><n>a</n></L></r>\n", false},
        {u8"<r><L></L></r>\n", false},
        {u8"<r><L><n></n></L></r>\n", false},
        {u8"<r><L><n>a&quot;</n></L></r>\n", false},
        {u8"<r><L><n>a>b</n></L></r>\n", false},
        {u8"<r><L><n>&#32;a</n></L></r>\n", false},
        {u8"\xEF\xBB\xBF<r><L><n>a</n></L></r>\n", false},
        // Trimmed by the DOM when read: left to it.
        {u8"<r><L><n> a</n><n>a </n><n>a&#13;</n></L></r>\n", false},
        // Beyond the form: attributes, comments, deeper elements, text between lists.
        {u8"<r><L x=\"1\"><n>a</n></L></r>\n", false},
        {u8"<r><!--c--><L><n>a</n></L></r>\n", false},
        {u8"<r><L><n>a<b/></n></L></r>\n", false},
        {u8"<r>t<L><n>a</n></L></r>\n", false},
        {u8"<r><L><n>a</n></L></r>\n<!--c-->\n", false},
    };
    for (const auto& file : kFiles) {
        EXPECT_EQ(file.bCompact, CCompactXml::IsCompact(file.pszBytes)) << file.pszBytes;
        if (file.bCompact) {
            EXPECT_EQ(file.pszBytes, ThroughDom(file.pszBytes));
        }
    }
}

// Every operation, once on the compact file and once through the DOM.
TEST_F(CompactXml, EditsWriteWhatTheDomWrites) {
    CSongListStore store(nullptr);
    const auto loadAll = [&] { return LoadAll(store); };
    const auto listSongs = [&](const char* pszList) { return ListSongs(store, pszList); };
    CompareWithDom(
        u8"<歌曲列表><列表1><歌曲路径>先</歌曲路径><列表名字>丁</列表名字></列表1>"
        u8"<列表2><列表名字>甲</列表名字><歌曲路径>x</歌曲路径><歌曲路径>y</歌曲路径>"
        u8"<歌曲路径>x</歌曲路径></列表2><列表3/><列表4><列表名字/></列表4></歌曲列表>\n",
        {
            loadAll,
            [&] { return listSongs("甲"); },
            [&] { return std::string(store.AddList().GetString()); },
            [&] {
                return std::to_string(store.AddSongs(Paths({L"C:\\歌 & <曲>.mp3", L"中 间"}), "甲"));
            },
            // Names outside GBK, emoji among them.
            [&] {
                return std::to_string(store.AddSongs(
                    Paths({L"D:\\한국어 노래.wav", L"E:\\เพลงไทย.mp3", L"F:\\😀 Søren - Ærø.wav"}), "甲"));
            },
            [&] { return std::to_string(store.DeleteSong(L"E:\\เพลงไทย.mp3", "甲")); },
            [&] { return std::to_string(store.AddSong(L"新", "新建列表5")); },
            [&] { return std::to_string(store.RenameList("甲", "")); },
            [&] { return std::to_string(store.RenameList("", "乙 & 丙")); },
            [&] { return std::to_string(store.DeleteSong(L"x", "乙 & 丙")); },
            [&] { return std::to_string(store.DeleteSong(L"C:\\歌 & <曲>.mp3", "乙 & 丙")); },
            [&] { return std::to_string(store.AddSong(L"后", "丁")); },
            loadAll,
            [&] { return listSongs("乙 & 丙"); },
            // Texts the DOM trims or writes its own way: from here on both go through the DOM.
            [&] {
                return std::to_string(store.AddSongs(Paths({L" 前后 ", L"\t", L"a\r\nb", L"\x01"}), "乙 & 丙"));
            },
            loadAll,
            [&] { return listSongs("乙 & 丙"); },
        });
    CompareWithDom(u8"<?xml version=\"1.0\"?>\n<歌曲列表/>\n",
                   {
                       [&] { return std::string(store.AddList().GetString()); },
                       [&] { return std::to_string(store.AddSong(L"一", "新建列表1")); },
                       loadAll,
                   });
    EXPECT_TRUE(Messages().empty());
}

}  // namespace
