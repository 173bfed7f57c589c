// The tag readers on song files made here byte by byte, and on files the tools tagged. Narrow
// literals are GBK, u8 ones UTF-8.
#include "tags/SongTags.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/SongFileBytes.h"
#include "support/TestSupport.h"

namespace {

using song_bytes::Flac;
using song_bytes::Id3v23;
using song_bytes::M4a;
using song_bytes::Ogg;
using song_bytes::OggVorbis;
using song_bytes::Opus;
using song_bytes::Utf16;

std::string BigEndian(uint32_t n, bool bSyncSafe) {
    const int nBits = bSyncSafe ? 7 : 8;
    std::string s;
    for (int i = 3; i >= 0; --i)
        s += static_cast<char>((n >> (i * nBits)) & (bSyncSafe ? 0x7F : 0xFF));
    return s;
}

// A text frame: the encoding byte, then the text as that encoding writes it.
std::string Frame(int nVersion, const char* pszId, char encoding, const std::string& text) {
    const std::string data = std::string(1, encoding) + text;
    return pszId + BigEndian(static_cast<uint32_t>(data.size()), nVersion == 4) + std::string(2, '\0') + data;
}

std::string Id3v2(int nVersion, char flags, const std::string& frames) {
    const std::string body = frames + std::string(64, '\0');  // padding
    return std::string("ID3") + static_cast<char>(nVersion) + '\0' + flags +
           BigEndian(static_cast<uint32_t>(body.size()), true) + body;
}

std::string Id3v1(std::string title, std::string artist, std::string album) {
    title.resize(30), artist.resize(30), album.resize(30);
    return "TAG" + title + artist + album + "2003" + std::string(30, ' ') + '\x0C';
}

// Every 0xFF gets a 0x00 after it, so that no tag byte looks like an MPEG frame's start.
std::string Unsynchronised(const std::string& s) {
    std::string out;
    for (const char c : s)
        out += c == '\xFF' ? std::string("\xFF\0", 2) : std::string(1, c);
    return out;
}

std::string LittleEndian(uint32_t n) {
    return std::string(reinterpret_cast<const char*>(&n), 4);
}

std::string Chunk(const char* pszId, const std::string& data) {
    const uint32_t n = static_cast<uint32_t>(data.size());
    return pszId + LittleEndian(n) + data + std::string(n % 2, '\0');
}

std::string Wav(const std::string& chunks) {
    const std::string body = "WAVE" + Chunk("fmt ", std::string(16, '\x01')) + chunks + Chunk("data", "\0\0\0\0");
    return "RIFF" + LittleEndian(static_cast<uint32_t>(body.size())) + body;
}

using Names = std::vector<std::string>;  // title, artist, album

Names NamesOf(const std::wstring& path) {
    const SongTags tags = DescribeSong(path.c_str());
    return {tags.strTitle, tags.strArtist, tags.strAlbum};
}

Names TagsOf(const std::string& bytes, const char* pszName = "song.mp3") {
    ScratchDir dir;
    WriteFileBytes(dir.File(pszName), bytes);
    return NamesOf(Widen(dir.File(pszName)));
}

std::string LyricsOf(const std::string& bytes) {
    ScratchDir dir;
    WriteFileBytes(dir.File("song"), bytes);
    std::string lyrics;
    const bool bFound = ReadEmbeddedLyrics(Widen(dir.File("song")).c_str(), lyrics);
    EXPECT_EQ(!lyrics.empty(), bFound) << "found exactly when something was read";
    return lyrics;
}

// A 2.2 tag: three-letter ids and three-byte sizes.
std::string Id3v22(const std::string& id, const std::string& data) {
    const uint32_t n = static_cast<uint32_t>(data.size());
    return std::string("ID3\x02\0\0\0\0\0", 9) + char(7 + n) + id + char(n >> 16) + char(n >> 8) + char(n) + data +
           std::string(1, '\0');
}

// Overwrites four bytes at the place of a marker's nth occurrence, plus nShift.
std::string Patched(std::string bytes, const std::string& marker, int nShift, const std::string& with, int nth = 1) {
    size_t pos = std::string::npos;
    for (int i = 0; i < nth; ++i)
        pos = bytes.find(marker, pos + 1);
    bytes.replace(pos + nShift, with.size(), with);
    return bytes;
}

const char kAudio[] = "\xFF\xFB\x90\x64 not really sound";
const char kTwoValues[] = u8"七里香\0第二个值";

}  // namespace

TEST(SongTags, Id3v23InAnUnsynchronisedTagIsReadInEveryTextEncoding) {
    const std::string frames = Frame(3, "TIT2", '\x01', "\xFF\xFE" + Utf16(L"\x6674\x5929", false)) +  // 晴天
                               Frame(3, "TPE1", '\x00', "周杰伦") + Frame(3, "TALB", '\x00', "Caf\xE9");
    EXPECT_EQ((Names{u8"晴天", u8"周杰伦", u8"Café"}), TagsOf(Id3v2(3, '\x80', Unsynchronised(frames)) + kAudio));
}

TEST(SongTags, Id3v24SizesAreSyncSafeAndId3v1FillsOnlyWhatItLacks) {
    const std::string frames = Frame(4, "COMM", '\x00', std::string(200, 'x')) +
                               Frame(4, "TIT2", '\x03', std::string(kTwoValues, sizeof(kTwoValues) - 1)) +
                               Frame(4, "TPE1", '\x02', Utf16(L"\x5468\x6770\x4F26", true)) +  // 周杰伦
                               Frame(4, "TALB", '\x01', "\xFE\xFF" + Utf16(L" ", true));
    EXPECT_EQ((Names{u8"七里香", u8"周杰伦", u8"七里香"}),
              TagsOf(Id3v2(4, '\0', frames) + kAudio + Id3v1("WRONG", "WRONG", "七里香")));
}

TEST(SongTags, AWavsInfoChunkIsRead) {
    const std::string info = "INFO" + Chunk("ISFT", "sox") + Chunk("INAM", std::string("灯塔\0", 5)) +
                             Chunk("IART", u8"夜航") + Chunk("IPRD", "Sea\0");
    EXPECT_EQ((Names{u8"灯塔", u8"夜航", "Sea"}), TagsOf(Wav(Chunk("LIST", info)), "a.wav"));
}

TEST(SongTags, Id3v1AloneOrElseTheFileNameTellsArtistAndTitleOrTheTitleAlone) {
    EXPECT_EQ((Names{u8"晴天", "Jay", u8"叶惠美"}), TagsOf(std::string(kAudio) + Id3v1("晴天", "Jay  ", "叶惠美")));
    EXPECT_EQ((Names{u8"晴天.live", u8"周杰伦", ""}), TagsOf(kAudio, "周杰伦 - 晴天.live.mp3"));
    EXPECT_EQ((Names{u8"01.晴天", "", ""}), TagsOf(Wav(""), "01.晴天.wav"));
    // Tags come first; the name fills in only what they lack.
    EXPECT_EQ((Names{"Song", "Band", ""}), TagsOf(std::string(kAudio) + Id3v1("Song", "", ""), "Band - Other.mp3"));
}

TEST(SongTags, UnsynchronisedLyricsAreReadInEveryTextEncodingPastAnyPicture) {
    const std::string lrc = "[00:01.00]晴天\r\n[00:02.00]two";
    const std::string utf8 = u8"[00:01.00]晴天\r\n[00:02.00]two";
    const std::wstring wide = L"[00:01.00]\x6674\x5929\r\n[00:02.00]two";
    const std::string picture(2 * 1024 * 1024, '\xFF');
    const std::pair<std::string, std::string> cases[] = {
        {Id3v23({{"APIC", picture}, {"USLT", std::string("\0chi描述\0", 9) + lrc}}), utf8},
        {Id3v23({{"USLT", std::string("\001eng\377\376d\0\0\0\377\376", 12) + Utf16(wide, false)}}), utf8},
        {Id3v23({{"USLT", std::string("\002eng\0\0", 6) + Utf16(wide, true)}}), utf8},
        {Id3v23({{"USLT", std::string("\003eng") + u8"描述" + '\0' + utf8}, {"USLT", "\003engsecond"}}), utf8},
        {Id3v22("ULT", std::string("\0eng\0", 5) + lrc), utf8},
        {Id3v23({{"USLT", "\001eng\377\376d"}}), ""},  // the descriptor never ends
    };
    for (const auto& [bytes, expected] : cases)
        EXPECT_EQ(expected, LyricsOf(bytes + "\xFF\xFB not really sound"));
}

TEST(SongTags, VorbisCommentsAndMp4ItemsGiveNamesAndLyricsWhateverTheExtensionSays) {
    const std::string lrc = u8"[00:01.00]灯塔\n[00:02.00]海边";
    const std::string picture = "METADATA_BLOCK_PICTURE=" + std::string(70000, 'A');
    const struct {
        const char* pszName;
        std::string bytes;
        Names names;
    } cases[] = {
        {"lies.mp3",
         Flac({u8"title=灯塔", u8"Artist=夜航", "ALBUM= Sea ", "LYRICS=" + lrc}),
         {u8"灯塔", u8"夜航", "Sea"}},
        {"a.flac",
         Id3v23({{"TIT2", "\003From ID3"}}) + Flac({"TITLE=no", "ARTIST=Band", "unsyncedlyrics=" + lrc}),
         {"From ID3", "Band", ""}},
        {"a.ogg", OggVorbis({picture, "TITLE=Across", "ARTIST=Pages", "LyRiCs=" + lrc}, 17), {"Across", "Pages", ""}},
        {"a.opus", Opus({"ALBUMARTIST=no", "ALBUM=Opus", "LYRICS=" + lrc}), {"a", "", "Opus"}},
        {"a.m4a",
         M4a({{"\251nam", u8"灯塔"}, {"\251ART", "Band"}, {"\251alb", "Sea"}, {"\251lyr", lrc}}),
         {u8"灯塔", "Band", "Sea"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.names, TagsOf(c.bytes, c.pszName)) << c.pszName;
        EXPECT_EQ(lrc, LyricsOf(c.bytes)) << c.pszName;
    }
}

// Each keeps what stands before the damage, and nothing is read past it.
TEST(SongTags, DamagedFilesGiveWhatTheyHoldBeforeTheDamage) {
    const std::string flac = Flac({"TITLE=Kept", "LYRICS=[00:01.00]x"});
    const std::string ogg = OggVorbis({"TITLE=Kept", std::string(3000, 'x'), "ARTIST=Lost"}, 4);
    const std::string m4a = M4a({{"\251nam", "Kept"}, {"\251ART", "Lost"}});
    const std::string huge("\x7F\xFF\xFF\xF0", 4);
    const std::pair<std::string, Names> cases[] = {
        {"", {"song", "", ""}},
        {flac.substr(0, 30), {"song", "", ""}},
        {flac.substr(0, flac.size() - 40), {"song", "", ""}},  // the comment block runs past the end
        {Patched(flac, "TITLE", -4, huge), {"song", "", ""}},
        {Patched(ogg, "OggS", 0, "OggX", 3), {"Kept", "", ""}},
        {Patched(m4a, "\251ART", -4, huge), {"Kept", "", ""}},
        {Patched(m4a, "moov", -4, huge), {"song", "", ""}},
        {Patched(Id3v23({{"TIT2", std::string("\0Kept", 5)}, {"TPE1", "\x03Lost"}}), "TPE1", 4, huge),
         {"Kept", "", ""}},
        {Ogg({"OpusHead", "Opus"}), {"song", "", ""}},
    };
    for (const auto& [bytes, names] : cases) {
        EXPECT_EQ(names, TagsOf(bytes, "song.flac")) << bytes.substr(0, 12);
        EXPECT_EQ("", LyricsOf(bytes));
    }
}

TEST(SongTags, FilesTheToolsTaggedGiveTheirNamesAndLyrics) {
    const std::string lrc = u8"[00:00.50]灯塔在海边";
    const std::pair<const char*, std::string> cases[] = {
        {"tagged.flac", u8"[ti:灯塔]\n" + lrc + "\n[00:01.20]second line"},
        {"tagged.ogg", lrc},
        {"tagged.m4a", lrc},
        {"tagged.opus", ""},  // GStreamer writes no lyrics comment
    };
    for (const auto& [pszName, expected] : cases) {
        const std::wstring path = Widen(BuildDataPath(std::string("tags/") + pszName));
        EXPECT_EQ((Names{u8"灯塔", u8"夜航", u8"海边"}), NamesOf(path)) << pszName;
        std::string lyrics;
        ReadEmbeddedLyrics(path.c_str(), lyrics);
        EXPECT_EQ(expected, lyrics) << pszName;
    }
}
