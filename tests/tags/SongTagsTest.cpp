// The tag readers on song files made here byte by byte. Narrow literals are GBK, u8 ones UTF-8.
#include "tags/SongTags.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace {

std::string BigEndian(uint32_t n, bool bSyncSafe) {
    const int nBits = bSyncSafe ? 7 : 8;
    std::string s;
    for (int i = 3; i >= 0; --i)
        s += static_cast<char>((n >> (i * nBits)) & (bSyncSafe ? 0x7F : 0xFF));
    return s;
}

std::string Utf16(const std::wstring& text, bool bBigEndian) {
    std::string s;
    for (const wchar_t c : text)
        s += bBigEndian ? std::string{char(c >> 8), char(c)} : std::string{char(c), char(c >> 8)};
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

Names TagsOf(const std::string& bytes, const char* pszName = "song.mp3") {
    ScratchDir dir;
    WriteFileBytes(dir.File(pszName), bytes);
    const SongTags tags = DescribeSong(Widen(dir.File(pszName)).c_str());
    return {tags.strTitle, tags.strArtist, tags.strAlbum};
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
