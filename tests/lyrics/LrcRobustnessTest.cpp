// Lyric files come from anywhere. Whatever bytes they hold, Load must finish quickly and the
// lookups must answer from a consistent timeline.
#include "lyrics/CLyc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace {

// clang-format off
const char* const kTokens[] = {
    "[", "]", ":", ".", " ", "\r\n", "\n", "\r", "0", "1", "5", "9", "00:", "[00:01.00]", "[01:23.45]", "[ti:",
    "[ar:", "[al:", "[by:", "[offset:", "-", "+", "e", "e9", "1e400", "中文", "\xEF\xBB\xBF", "\xFF\xFE",
    "\x81", "\xDA\x5C", "la la", "\t", "<", ">", "<00:01.50>", "[00:01:50]", "[1:01:02.50]", "[-00:01.00]",
    "[00:05.678]", "[120:00.00]", "\x9B\x5D", "\xDF\x5B", "[length:03:45]", "[id: 51037068]", "[ 00:01,50 ]",
    "\xF0\x9F\x98\x80", "\xEA\xB0\x80",
};
// clang-format on

// What the stamp, header and word rules turn on, for mutations to put anywhere (also inside a
// two-byte character).
const char* const kRuleTokens[] = {
    "[00:02.00]", "<00:02.00>", "[00:02:00]", "[0:02.000]", "[1:00:02.00]", "[-00:02]", "[",    "]",    "<",
    ">",          ":",          ".",          " ",          "\t",           "\r",       "[ar:", "[ti:", "[length:",
    "\x9B\x5D",   "\xDF\x5B",   "\xB8",
};

std::string RandomBytes(std::mt19937& rng, size_t n) {
    std::uniform_int_distribution<int> byte(0, 255);
    std::string s(n, '\0');
    for (char& c : s)
        c = static_cast<char>(byte(rng));
    return s;
}

std::string RandomTokens(std::mt19937& rng, size_t nTokens) {
    std::uniform_int_distribution<size_t> pick(0, std::size(kTokens));
    std::string s;
    for (size_t i = 0; i < nTokens; ++i) {
        const size_t k = pick(rng);
        if (k == std::size(kTokens))
            s += '\0';
        else
            s += kTokens[k];
    }
    return s;
}

std::string Mutate(std::mt19937& rng, std::string s) {
    std::uniform_int_distribution<int> kind(0, 6);
    const int nEdits = 1 + static_cast<int>(rng() % 8);
    for (int e = 0; e < nEdits; ++e) {
        const size_t at = s.empty() ? 0 : rng() % s.size();
        switch (kind(rng)) {
        case 0:
            // Now and then a Ctrl-Z, which ends a text-mode read.
            if (!s.empty())
                s[at] = rng() % 50 == 0 ? '\x1A' : static_cast<char>(rng());
            break;
        case 1:
            s.insert(at, RandomTokens(rng, 1 + rng() % 4));
            break;
        case 2:
            s.erase(at, rng() % 16);
            break;
        case 3:
            s.insert(at, s.substr(at, rng() % 64));
            break;
        case 4:
            s.insert(at, kRuleTokens[rng() % std::size(kRuleTokens)]);
            break;
        case 5: {
            // Every CR LF from here on becomes a lone CR, as an old Mac editor saves.
            for (size_t i = s.find("\r\n", at); i != std::string::npos; i = s.find("\r\n", i))
                s.erase(i + 1, 1);
            break;
        }
        default:
            s.resize(at);
            break;
        }
    }
    return s;
}

// Words start in order, on whole characters of their text.
void ExpectWordsInOrder(const CStringW& strText, const std::vector<LrcWord>& words) {
    ASSERT_FALSE(words.empty());
    int nPrevious = 0;
    for (const LrcWord& word : words) {
        ASSERT_TRUE(std::isfinite(word.dStart));
        ASSERT_GE(word.nOffset, nPrevious);
        ASSERT_LE(word.nOffset, strText.GetLength());
        nPrevious = word.nOffset;
        const wchar_t c = word.nOffset < strText.GetLength() ? strText[word.nOffset] : L'\0';
        ASSERT_FALSE(c >= 0xDC00 && c <= 0xDFFF) << "a word starts inside a surrogate pair";
    }
}

// The answers hold together whatever the file was.
void ExpectConsistent(CLyc& lyc, std::mt19937& rng) {
    const double positions[] = {-1.0,
                                0.0,
                                lyc.FirstTime(),
                                lyc.LastTime(),
                                (lyc.FirstTime() + lyc.LastTime()) / 2,
                                static_cast<double>(rng() % 600),
                                std::nan(""),
                                HUGE_VAL,
                                -HUGE_VAL,
                                1e300};
    if (!lyc.IsLoaded()) {
        for (double pos : positions) {
            ASSERT_EQ(CStringW(L" "), lyc.GetCurrentLine(pos));
            ASSERT_EQ(CStringW(L" "), lyc.GetNextLine());
            ASSERT_EQ(0.0, lyc.GetLineDuration(pos));
        }
        return;
    }
    const std::vector<double>& times = lyc.Times();
    ASSERT_FALSE(times.empty());
    ASSERT_TRUE(std::adjacent_find(times.begin(), times.end(), std::greater_equal<double>()) == times.end())
        << "times ascend, each once";
    ASSERT_EQ(times.front(), lyc.FirstTime());
    ASSERT_EQ(times.back(), lyc.LastTime());
    ASSERT_EQ(times.size(), lyc.Texts().size());
    for (double t : times)
        ASSERT_EQ(1u, lyc.Texts().count(CLyc::TimeKey(t))) << CLyc::TimeKey(t).GetString();
    for (const auto& entry : lyc.Translations()) {
        ASSERT_EQ(1u, lyc.Texts().count(entry.first)) << "a translation without its line";
        ASSERT_FALSE(entry.second.IsEmpty());
    }
    for (const auto& entry : lyc.Texts()) {
        ASSERT_EQ(std::wstring::npos, entry.second.Str().find_first_of(std::wstring(L"\0\r", 2)))
            << "a text holds a NUL or a CR";
        const auto words = lyc.WordKeys().find(entry.first);
        if (words == lyc.WordKeys().end())
            continue;
        ASSERT_LT(words->second, lyc.WordLists().size());
        ExpectWordsInOrder(entry.second, lyc.WordLists()[words->second]);
    }
    for (const auto& entry : lyc.WordKeys())
        ASSERT_EQ(1u, lyc.Texts().count(entry.first)) << "words without a line";
    for (double pos : positions) {
        lyc.GetCurrentLine(pos);
        ASSERT_GE(lyc.CurrentIndex(), 0);
        ASSERT_LT(static_cast<size_t>(lyc.CurrentIndex()), times.size());
        lyc.GetNextLine();
        lyc.GetLineWords(lyc.CurrentIndex());
        const double d = lyc.GetLineDuration(pos);
        ASSERT_TRUE(d == 0.0 || d >= 1.0) << d;
    }
}

class LrcRobustness : public testing::Test {
protected:
    bool LoadBytes(const std::string& bytes) {
        WriteFileBytes(m_path, bytes);
        return m_lyc.Load(Widen(m_path));
    }

    ScratchDir m_dir;
    std::string m_path = m_dir.File("fuzz.lrc");
    CLyc m_lyc;  // one for all inputs, as the band reloads one timeline
    std::mt19937 m_rng{20240607};
};

}  // namespace

TEST_F(LrcRobustness, RandomAndMutatedFilesLoadAndAnswer) {
    std::vector<std::string> seeds;
    for (const char* name :
         {"gbk-song", "blank-lines", "utf8-bom", "utf16le", "utf16be", "odd-lines", "long-tags", "traditional",
          "header-tags", "stamp-forms", "stacked-stamps", "brackets-in-text", "word-times", "cr-only"})
        seeds.push_back(ReadFileBytes(TestDataPath(std::string("lyrics/fixtures/") + name + ".lrc")));
    for (const std::string& seed : seeds)
        ASSERT_FALSE(seed.empty());

    const DWORD start = ThreadCpuMilliseconds();
    int nLoaded = 0;
    for (int i = 0; i < 3000; ++i) {
        std::string bytes;
        switch (i % 3) {
        case 0:
            bytes = RandomBytes(m_rng, m_rng() % 4096);
            break;
        case 1:
            bytes = RandomTokens(m_rng, m_rng() % 400);
            break;
        default:
            bytes = Mutate(m_rng, seeds[m_rng() % seeds.size()]);
            break;
        }
        ASSERT_TRUE(LoadBytes(bytes)) << "input " << i;
        nLoaded += m_lyc.IsLoaded();
        ExpectConsistent(m_lyc, m_rng);
        if (HasFatalFailure()) {
            ADD_FAILURE() << "input " << i;
            return;
        }
    }
    EXPECT_LT(ThreadCpuMilliseconds() - start, 20000u);
    // Most inputs must reach a timeline, or the lookups above were hardly tried.
    EXPECT_GT(nLoaded, 1000);
}

TEST_F(LrcRobustness, HugeAndDegenerateFilesLoadInLinearTime) {
    const size_t kMegabyte = 1 << 20;
    std::string noLineEnds;
    while (noLineEnds.size() < kMegabyte)
        noLineEnds += "[00:01.00][00:02.50]la la [ti:x]<00:03.00>";
    std::string manyLines;
    for (int i = 0; i < 100000; ++i)
        manyLines += "[0" + std::to_string(i % 10) + ":" + std::to_string(10 + i % 50) + ".00]line\r\n";
    const std::vector<std::string> inputs = {
        std::string(kMegabyte, '['),
        std::string(kMegabyte, ']'),
        "[" + std::string(kMegabyte, ':') + "]",
        "[00:01]" + std::string(kMegabyte, '['),
        std::string(kMegabyte, '\0'),
        std::string(kMegabyte, '\n'),
        std::string(kMegabyte, '\r'),
        "[00:01]" + std::string(kMegabyte, '<'),
        std::string(kMegabyte, ' '),
        noLineEnds,
        manyLines,
        "[ti:" + std::string(kMegabyte, 'x') + "]",
        "\xFF\xFE" + RandomBytes(m_rng, kMegabyte),
        "\xEF\xBB\xBF" + RandomBytes(m_rng, kMegabyte),
        RandomTokens(m_rng, 200000),
    };
    for (size_t i = 0; i < inputs.size(); ++i) {
        const DWORD start = ThreadCpuMilliseconds();
        ASSERT_TRUE(LoadBytes(inputs[i])) << "input " << i;
        EXPECT_LT(ThreadCpuMilliseconds() - start, 3000u) << "input " << i;
        ExpectConsistent(m_lyc, m_rng);
        ASSERT_FALSE(HasFatalFailure()) << "input " << i;
    }
}
