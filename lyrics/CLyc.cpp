#include "lyrics/CLyc.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "framework/Holders.h"
#include "lyrics/LrcStamp.h"
#include "lyrics/LrcText.h"

CLyc g_lyc;

namespace {

// Tag values are copied into a 500-byte buffer with room for its terminator.
const int kMaxTagValue = 499;

std::string ReadAllBytes(const wchar_t* pszPath) {
    std::string bytes;
    const CFilePtr f(::_wfopen(pszPath, L"rb"));
    if (!f)
        return bytes;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof(buf), f.Get())) > 0)
        bytes.append(buf, n);
    return bytes;
}

// Byte i of the line, 0 past its end as at a C string's terminator.
char ByteAt(const CString& s, int i) {
    return i < s.GetLength() ? s[i] : '\0';
}

bool IsLetter(char c, char lower) {
    return c == lower || c == lower - 'a' + 'A';
}

// From nStart up to, not including, the line's last character (taken to be the closing ']');
// cut to what the buffer holds. Walked by characters, so no value starts or ends inside one.
CString TagValue(const CString& strLine, int nStart) {
    const int nLength = strLine.GetLength();
    if (nLength < nStart + 2)
        return CString();
    int nFirst = -1;  // first character at or after nStart
    int nLast = 0;    // start of the last character
    for (int i = 0; i < nLength;) {
        if (nFirst < 0 && i >= nStart)
            nFirst = i;
        nLast = i;
        i += IsGbkLeadByte(static_cast<unsigned char>(strLine[i])) && i + 1 < nLength ? 2 : 1;
    }
    if (nFirst < 0 || nLast <= nFirst)
        return CString();
    const CString strValue = strLine.Mid(nFirst, nLast - nFirst);
    if (strValue.GetLength() <= kMaxTagValue)
        return strValue;
    int nCut = 0;
    while (nCut < kMaxTagValue) {
        const int nChar = IsGbkLeadByte(static_cast<unsigned char>(strValue[nCut])) ? 2 : 1;
        if (nCut + nChar > kMaxTagValue)
            break;
        nCut += nChar;
    }
    return strValue.Left(nCut);
}

// The text from s[nFrom] on, less every stamp in it ([mm:ss.xx] or <mm:ss.xx>), each of which
// becomes a word starting where it stood. Walked by characters: a GBK trail byte is no bracket.
CString TakeWordStamps(const std::string& s, size_t nFrom, std::vector<LrcWord>& words) {
    std::string text;
    text.reserve(s.size() - nFrom);
    size_t nCopied = nFrom;
    LrcStamp stamp;
    for (size_t i = nFrom; i < s.size();) {
        const char c = s[i];
        if (IsGbkLeadByte(static_cast<unsigned char>(c)) && i + 1 < s.size()) {
            i += 2;
            continue;
        }
        const size_t nStamp = (c == '[' || c == '<') ? ReadLrcStamp(s, i, stamp) : 0;
        if (nStamp == 0) {
            ++i;
            continue;
        }
        text.append(s, nCopied, i - nCopied);
        if (words.empty())
            words.reserve(8);
        words.push_back({stamp.dTime, static_cast<int>(text.size())});
        i += nStamp;
        nCopied = i;
    }
    text.append(s, nCopied, std::string::npos);
    return CString(std::move(text));
}

}  // namespace

CLyc::~CLyc() {
    m_mapText.clear();
    m_mapWords.clear();
    m_arrWords.clear();
    m_arrTime.clear();
}

bool CLyc::Load(const CStringW& strPath) {
    m_bLoaded = false;
    if (!CFilePtr(::_wfopen(strPath, L"r")))
        return false;
    LoadBytes(ReadAllBytes(strPath));
    return true;
}

void CLyc::LoadBytes(const std::string& bytes) {
    m_bLoaded = false;

    m_mapText.clear();
    m_mapWords.clear();
    m_arrWords.clear();
    m_arrTime.clear();
    m_strArtist = m_strAlbum = m_strTitle = m_strBy = "UnKnow";
    m_dFirstTime = m_dLastTime = 0.0;
    m_nCurIndex = 0;
    m_dOffset = 0.0;

    // Read as bytes: a text-mode read would take a 0x1A or 0x0D 0x0A inside UTF-16 for control codes.
    CString strLine;  // one buffer for every line
    ForEachLrcLine(LrcBytesToGbk(bytes), [&](const char* pLine, size_t nLength) {
        strLine.SetString(pLine, static_cast<int>(nLength));
        ReadLine(strLine);
    });

    // Without a single time there is no first or last line to answer with.
    if (m_arrTime.empty())
        return;
    m_bLoaded = true;
    std::sort(m_arrTime.begin(), m_arrTime.end());
    m_dFirstTime = m_arrTime.front();
    m_dLastTime = m_arrTime.back();
}

void CLyc::ReadLine(CString& strLine) {
    // Blank lines are skipped, not taken for the end: editors leave them between verses.
    if (strLine.Str().find_first_not_of(' ') == std::string::npos)
        return;
    strLine.TrimLeft(' ');
    switch (ClassifyLine(strLine)) {
    case LINE_TITLE:
        ParseTitle(strLine);
        break;
    case LINE_ARTIST:
        ParseArtist(strLine);
        break;
    case LINE_ALBUM:
        ParseAlbum(strLine);
        break;
    case LINE_BY:
        ParseBy(strLine);
        break;
    case LINE_OFFSET:
        ParseOffset(strLine);
        break;
    case LINE_TIME:
        ParseTimeLine(strLine);
        break;
    default:
        break;
    }
}

CString CLyc::GetCurrentLine(double dPos) {
    if (!m_bLoaded)
        return " ";
    const double t = dPos + m_dOffset;
    if (t < m_dFirstTime)
        return TextAt(0);
    if (t > m_dLastTime)
        return TextAt(m_arrTime.size() - 1);
    // T[0] <= t here, so i is at least 1.
    const size_t i = FirstLaterThan(t);
    m_nCurIndex = static_cast<int>(i - 1);
    return TextAt(i - 1);
}

const std::vector<LrcWord>& CLyc::GetLineWords(int nIndex) const {
    static const std::vector<LrcWord> s_none;
    if (!m_bLoaded || m_mapWords.empty() || nIndex < 0 || static_cast<size_t>(nIndex) >= m_arrTime.size())
        return s_none;
    const auto it = m_mapWords.find(TimeKey(m_arrTime[nIndex]));
    return it == m_mapWords.end() ? s_none : m_arrWords[it->second];
}

CString CLyc::GetNextLine() {
    if (!m_bLoaded || m_nCurIndex < 0)
        return " ";
    const size_t j = static_cast<size_t>(m_nCurIndex) + 1;
    return j < m_arrTime.size() ? TextAt(j) : CString(" ");
}

double CLyc::GetLineDuration(double dPos) {
    if (!m_bLoaded)
        return 0;
    const double t = dPos + m_dOffset;
    if (t < m_dFirstTime || t > m_dLastTime)
        return 0;
    const size_t i = FirstLaterThan(t);
    // The last line has no next start to measure to.
    if (i >= m_arrTime.size())
        return 0;
    const double d = m_arrTime[i] - m_arrTime[i - 1];
    return d >= 1 ? d : 1.0;
}

int CLyc::ClassifyLine(const CString& strLine) {
    // A ']' that is the second byte of a character (沒, 註, ...) closes nothing.
    if (strLine.IsEmpty() || strLine[0] != '[' || strLine.FindChar(']') < 0)
        return LINE_OTHER;
    const char c1 = ByteAt(strLine, 1);
    const char c2 = ByteAt(strLine, 2);
    if (IsLetter(c1, 't') && IsLetter(c2, 'i'))
        return LINE_TITLE;
    if (IsLetter(c1, 'a') && IsLetter(c2, 'r'))
        return LINE_ARTIST;
    if (IsLetter(c1, 'a') && IsLetter(c2, 'l'))
        return LINE_ALBUM;
    if (IsLetter(c1, 'b') && IsLetter(c2, 'y'))
        return LINE_BY;
    static const char kOffset[] = "offset";
    bool bOffset = true;
    for (int i = 0; i < 6 && bOffset; ++i)
        bOffset = IsLetter(ByteAt(strLine, i + 1), kOffset[i]);
    if (bOffset)
        return LINE_OFFSET;
    // Any other bracketed tag ([length:03:45], [id: 51037068], [re:...]) is a header.
    LrcStamp stamp;
    return ReadLrcStamp(strLine.Str(), 0, stamp) ? LINE_TIME : LINE_OTHER;
}

// The leading run of stamps (spaces or tabs between them) gives the line's start times; the
// text is everything after that run, less the stamps inside it, which time its words.
void CLyc::ParseTimeLine(const CString& strLine) {
    const std::string& s = strLine.Str();
    LrcStamp stamp;
    size_t nTextStart = 0;
    size_t nStamps = 0;
    double dFirst = 0.0;
    for (size_t i = 0;;) {
        // Angle stamps time words, even at the start of the text.
        const size_t nStamp = i < s.size() && s[i] == '[' ? ReadLrcStamp(s, i, stamp) : 0;
        if (nStamp == 0)
            break;
        if (nStamps++ == 0)
            dFirst = stamp.dTime;
        i += nStamp;
        nTextStart = i;
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
            ++i;
    }
    if (nStamps == 0)
        return;

    std::vector<LrcWord> words;
    CString strText = TakeWordStamps(s, nTextStart, words);
    // Word times count from the line's first stamp, so every stamp of the line shares them and a
    // repeat of the line sings its words as far in.
    const bool bWords = !words.empty();
    if (bWords) {
        for (LrcWord& word : words)
            word.dStart -= dFirst;
        m_arrWords.push_back(std::move(words));
    }
    std::set<CString> written;  // a key met again on this line needs no second copy of the text
    for (size_t i = 0; i < nTextStart;) {
        const size_t nStamp = ReadLrcStamp(s, i, stamp);
        if (nStamp == 0) {
            ++i;  // a space or tab between stamps
            continue;
        }
        i += nStamp;
        m_arrTime.push_back(stamp.dTime);
        if (nStamps > 1 && !written.insert(stamp.strKey).second)
            continue;
        // Equal keys share one entry: the later line's text and words win.
        if (nStamps == 1)
            m_mapText.insert_or_assign(stamp.strKey, std::move(strText));
        else
            m_mapText.insert_or_assign(stamp.strKey, strText);
        if (bWords)
            m_mapWords[stamp.strKey] = m_arrWords.size() - 1;
        else if (!m_mapWords.empty())
            m_mapWords.erase(stamp.strKey);
    }
}

void CLyc::ParseTitle(const CString& strLine) {
    m_strTitle = TagValue(strLine, 4);
}

void CLyc::ParseArtist(const CString& strLine) {
    m_strArtist = TagValue(strLine, 4);
}

void CLyc::ParseAlbum(const CString& strLine) {
    m_strAlbum = TagValue(strLine, 4);
}

void CLyc::ParseBy(const CString& strLine) {
    m_strBy = TagValue(strLine, 4);
}

void CLyc::ParseOffset(const CString& strLine) {
    // Milliseconds in the file, seconds here.
    m_dOffset = std::atof(TagValue(strLine, 8)) / 1000;
}

CString CLyc::TimeKey(double dTime) {
    CString strKey;
    strKey.Format("%.2f", dTime);
    return strKey;
}

CString CLyc::TextAt(size_t i) const {
    const auto it = m_mapText.find(TimeKey(m_arrTime[i]));
    return it == m_mapText.end() ? CString() : it->second;
}

size_t CLyc::FirstLaterThan(double t) const {
    return static_cast<size_t>(std::upper_bound(m_arrTime.begin(), m_arrTime.end(), t) - m_arrTime.begin());
}
