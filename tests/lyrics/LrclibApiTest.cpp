// The questions to the lyrics service and the reading of its answers, on bodies written here.
#include "lyrics/LrclibApi.h"

#include <gtest/gtest.h>

namespace {

const SongTags kSunny = {u8"晴天", u8"周杰伦", u8"叶惠美"};

}  // namespace

TEST(LrclibQuery, NamesArePercentEncodedUtf8AndTheLengthIsInWholeSeconds) {
    EXPECT_EQ(
        "/api/get?track_name=%E6%99%B4%E5%A4%A9&artist_name=%E5%91%A8%E6%9D%B0%E4%BC%A6"
        "&album_name=%E5%8F%B6%E6%83%A0%E7%BE%8E&duration=270",
        LrclibGetPath(kSunny, 269500));
    EXPECT_EQ("/api/search?track_name=%E6%99%B4%E5%A4%A9&artist_name=%E5%91%A8%E6%9D%B0%E4%BC%A6",
              LrclibSearchPath(kSunny));
    EXPECT_EQ("A-z_0.9~%20%26%3D%2B%2F%3F%25", PercentEncode("A-z_0.9~ &=+/?%"));
    // Without an artist or a length only the search can be asked.
    EXPECT_EQ("", LrclibGetPath({u8"晴天", "", ""}, 269500));
    EXPECT_EQ("", LrclibGetPath(kSunny, 0));
    EXPECT_EQ("/api/search?track_name=%E6%99%B4%E5%A4%A9", LrclibSearchPath({u8"晴天", "", ""}));
}

TEST(LrclibAnswer, ARecordCountsAsSyncedOnlyWithATimeLineTheReaderTakes) {
    const std::string huge = R"({"syncedLyrics":"[00:01.00])" + std::string(LRCLIB_MAX_ANSWER, 'a') + "\"}";
    const struct {
        std::string strBody;
        LrcAnswerKind kind;
    } cases[] = {
        {R"({"syncedLyrics":"[00:01.00]a\n[00:02.00]b","plainLyrics":"a\nb","instrumental":false})",
         LrcAnswerKind::Synced},
        {R"({"syncedLyrics":null,"plainLyrics":"a\nb"})", LrcAnswerKind::PlainOnly},
        {R"({"syncedLyrics":"[ar:someone]\nno stamps at all"})", LrcAnswerKind::PlainOnly},
        {R"({"instrumental":true,"syncedLyrics":null,"plainLyrics":null})", LrcAnswerKind::Instrumental},
        {R"({"syncedLyrics":"","plainLyrics":"  \n"})", LrcAnswerKind::None},
        {R"({"syncedLyrics":5,"plainLyrics":["a"],"instrumental":"yes"})", LrcAnswerKind::None},
        {"", LrcAnswerKind::Unreadable},
        {R"({"syncedLyrics":"[00:01.00]a")", LrcAnswerKind::Unreadable},
        {"[]", LrcAnswerKind::Unreadable},
        {huge, LrcAnswerKind::Unreadable},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.kind, ReadLrclibRecord(c.strBody).kind) << c.strBody.substr(0, 80);

    const LrcAnswer answer =
        ReadLrclibRecord(u8R"({"trackName":"晴天","artistName":7,"syncedLyrics":"[00:29.35]故事的小黄花"})");
    EXPECT_EQ(u8"[00:29.35]故事的小黄花", answer.strLyrics);
    EXPECT_EQ(u8"晴天", answer.strTitle);
    EXPECT_EQ("", answer.strArtist);
}

TEST(LrclibAnswer, ASearchTakesTheSyncedResultNearestTheSongsLengthWithinThreeSeconds) {
    const std::string body = R"([{"duration":203.6,"syncedLyrics":"[00:01.00]far"}, "not a record",
        {"duration":199.9,"plainLyrics":"plain"}, {"duration":"200","syncedLyrics":"[00:01.00]no length"},
        {"duration":197.5,"syncedLyrics":"[00:01.00]near"}, {"duration":201,"syncedLyrics":"[00:01.00]nearest"},
        {"duration":202,"syncedLyrics":"[00:01.00]later"}])";
    EXPECT_EQ("[00:01.00]nearest", ReadLrclibSearch(body, 200000).strLyrics) << "synced before a nearer plain text";
    EXPECT_EQ("[00:01.00]near", ReadLrclibSearch(body, 197000).strLyrics);
    EXPECT_EQ("[00:01.00]far", ReadLrclibSearch(body, 0).strLyrics) << "any length when the song's is unknown";
    EXPECT_EQ(LrcAnswerKind::None, ReadLrclibSearch(body, 100000).kind);
    EXPECT_EQ(
        LrcAnswerKind::Instrumental,
        ReadLrclibSearch(R"([{"duration":200,"plainLyrics":"x"},{"duration":201,"instrumental":true}])", 200000).kind);
    EXPECT_EQ(LrcAnswerKind::None, ReadLrclibSearch("[]", 200000).kind);
    EXPECT_EQ(LrcAnswerKind::Unreadable, ReadLrclibSearch(R"({"syncedLyrics":"[00:01.00]a"})", 200000).kind);
}

TEST(LrclibAnswer, AKeptFileIsUtf8WithOneLineHeaderTagsFromTheAnswerElseTheSong) {
    LrcAnswer answer;
    answer.kind = LrcAnswerKind::Synced;
    answer.strLyrics = u8"[00:01.00]第一行\n\n[00:03.00]第二行\r\n";
    answer.strTitle = u8"晴天\r\n(live)";
    EXPECT_EQ(
        u8"\uFEFF[ti:晴天  (live)]\r\n[ar:周杰伦]\r\n[al:叶惠美]\r\n"
        u8"[00:01.00]第一行\r\n\r\n[00:03.00]第二行\r\n",
        LrcFileText(answer, kSunny));
}

TEST(LrclibAnswer, CandidatesComeTimedFirstThenNearestTheSongsLength) {
    const std::string body =
        u8R"json([{"trackName":"晴天","artistName":"周杰伦","albumName":"叶惠美","duration":270,
        "plainLyrics":"故事的小黄花"}, {"trackName":"晴天 (Live)","duration":290,"syncedLyrics":"[00:29.35]a"},
        {"trackName":"晴天","duration":268,"syncedLyrics":"[00:29.35]b"}, 7, {"trackName":"无词"},
        {"trackName":"纯音乐","duration":269,"instrumental":true}])json";
    bool bReadable = false;
    const std::vector<LrcCandidate> candidates = ReadLrclibCandidates(body, 269500, &bReadable);
    EXPECT_TRUE(bReadable);
    const struct {
        const char* pszTitle;
        LrcAnswerKind kind;
        double dDuration;
    } want[] = {
        {u8"晴天", LrcAnswerKind::Synced, 268},
        {u8"晴天 (Live)", LrcAnswerKind::Synced, 290},
        {u8"纯音乐", LrcAnswerKind::Instrumental, 269},
        {u8"晴天", LrcAnswerKind::PlainOnly, 270},
        {u8"无词", LrcAnswerKind::None, -1},
    };
    ASSERT_EQ(std::size(want), candidates.size());
    for (size_t i = 0; i < candidates.size(); ++i) {
        EXPECT_EQ(want[i].pszTitle, candidates[i].answer.strTitle) << i;
        EXPECT_EQ(want[i].kind, candidates[i].answer.kind) << i;
        EXPECT_DOUBLE_EQ(want[i].dDuration, candidates[i].dDuration) << i;
    }
    EXPECT_EQ(u8"叶惠美", candidates[3].answer.strAlbum);
    EXPECT_TRUE(ReadLrclibCandidates("[]", 0, &bReadable).empty());
    EXPECT_TRUE(bReadable);
    ReadLrclibCandidates("<html>", 0, &bReadable);
    EXPECT_FALSE(bReadable);
}
