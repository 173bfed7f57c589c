#include "lyrics/CLyc.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <set>
#include <string>

#include "framework/Holders.h"
#include "lyrics/LrcStamp.h"
#include "lyrics/LrcText.h"

CLyc g_lyc;

namespace {

// Tag values are cut to what a 500-character buffer holds with room for its terminator.
const int kMaxTagValue = 499;
const wchar_t kBlanks[] = L" \t";
const wchar_t kByteOrderMark = L'\xFEFF';

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

// Code unit i of the line, 0 past its end as at a C string's terminator.
wchar_t CharAt(const CStringW& s, int i) {
    return i < s.GetLength() ? s[i] : L'\0';
}

bool IsLetter(wchar_t c, char lower) {
    return c == static_cast<wchar_t>(lower) || c == static_cast<wchar_t>(lower - 'a' + 'A');
}

// From nStart up to the bracket that closes the tag ([ti:Song] junk gives Song; brackets inside
// the value pair up: [ti:Song [Live]] gives Song [Live]), or to the line's end without one; cut
// to what the buffer holds, never between the halves of a surrogate pair.
CStringW TagValue(const CStringW& strLine, int nStart) {
    const std::wstring& s = strLine.Str();
    if (static_cast<size_t>(nStart) >= s.size())
        return CStringW();
    int nDepth = 0;
    size_t nEnd = s.size();
    for (size_t i = 1; i < s.size(); ++i) {
        if (s[i] == '[') {
            ++nDepth;
        } else if (s[i] == ']' && nDepth-- == 0) {
            nEnd = i;
            break;
        }
    }
    // Spaces and tabs around the value are the editor's: [ti:  Title  ] names Title.
    size_t nFirst = static_cast<size_t>(nStart);
    while (nFirst < nEnd && (s[nFirst] == ' ' || s[nFirst] == '\t'))
        ++nFirst;
    while (nEnd > nFirst && (s[nEnd - 1] == ' ' || s[nEnd - 1] == '\t'))
        --nEnd;
    nStart = static_cast<int>(nFirst);
    if (nEnd <= nFirst)
        return CStringW();
    size_t nLength = std::min(nEnd - nStart, static_cast<size_t>(kMaxTagValue));
    if (nLength < nEnd - nStart && IsHighSurrogate(s[nStart + nLength - 1]))
        --nLength;
    return CStringW(s.substr(static_cast<size_t>(nStart), nLength));
}

// The text from s[nFrom] on, less every stamp in it ([mm:ss.xx] or <mm:ss.xx>), each of which
// becomes a word starting where it stood.
std::wstring TakeWordStamps(const std::wstring& s, size_t nFrom, std::vector<LrcWord>& words) {
    std::wstring text;
    text.reserve(s.size() - nFrom);
    size_t nCopied = nFrom;
    LrcStamp stamp;
    for (size_t i = nFrom; i < s.size();) {
        const wchar_t c = s[i];
        const size_t nStamp = (c == '[' || c == '<') ? ReadLrcStamp(s, i, stamp) : 0;
        if (nStamp == 0) {
            ++i;
            continue;
        }
        text.append(s, nCopied, i - nCopied);
        i += nStamp;
        // A stamp with a space on each side stood between two words, not for a second space:
        // "feel <00:01.00> the" reads "feel the", the word starting at its first letter.
        if (text.empty() || text.back() == ' ' || text.back() == '\t') {
            while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
                ++i;
        }
        if (words.empty())
            words.reserve(8);
        words.push_back({stamp.dTime, static_cast<int>(text.size())});
        nCopied = i;
    }
    text.append(s, nCopied, std::wstring::npos);
    return text;
}

// Spaces and tabs around a line's text are the editor's, not the song's; its words keep
// pointing at the characters they stood before.
void TrimText(std::wstring& text, std::vector<LrcWord>& words) {
    const size_t nLead = std::min(text.find_first_not_of(kBlanks), text.size());
    text.erase(0, nLead);
    const size_t nLast = text.find_last_not_of(kBlanks);
    text.erase(nLast == std::wstring::npos ? 0 : nLast + 1);
    const int nLength = static_cast<int>(text.size());
    for (LrcWord& word : words)
        word.nOffset = std::clamp(word.nOffset - static_cast<int>(nLead), 0, nLength);
}

}  // namespace

bool CLyc::Load(const CStringW& strPath) {
    m_bLoaded = false;
    if (!CFilePtr(::_wfopen(strPath, L"r")))
        return false;
    // Read as bytes: a text-mode read would take a 0x1A or 0x0D 0x0A inside UTF-16 for control codes.
    LoadBytes(ReadAllBytes(strPath));
    return true;
}

void CLyc::LoadBytes(const std::string& bytes) {
    LoadText(LrcBytesToText(bytes));
}

void CLyc::LoadText(const std::wstring& text) {
    m_bLoaded = false;

    m_mapText.clear();
    m_mapTranslation.clear();
    m_mapWords.clear();
    m_arrWords.clear();
    m_arrTime.clear();
    m_strArtist = m_strAlbum = m_strTitle = m_strBy = L"UnKnow";
    m_dFirstTime = m_dLastTime = 0.0;
    m_nCurIndex = 0;
    m_dOffset = 0.0;

    CStringW strLine;  // one buffer for every line
    ForEachLrcLine(text, [&](const wchar_t* pLine, size_t nLength) {
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

void CLyc::ReadLine(CStringW& strLine) {
    // Files joined together, or saved by editors that mark every part, carry a byte-order mark
    // inside: it is no character of the line.
    if (!strLine.IsEmpty() && strLine[0] == kByteOrderMark)
        strLine.TrimLeft(L"\xFEFF");
    // Blank lines are skipped, not taken for the end: editors leave them between verses.
    if (strLine.Str().find_first_not_of(L' ') == std::wstring::npos)
        return;
    strLine.TrimLeft(L" ");
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

CStringW CLyc::GetCurrentLine(double dPos) {
    if (!m_bLoaded)
        return L" ";
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

// A negative index wraps to past the end, and finds nothing.
const std::vector<LrcWord>& CLyc::GetLineWords(int nIndex) const {
    static const std::vector<LrcWord> s_none;
    const size_t* pWords = LineEntry(m_mapWords, static_cast<size_t>(nIndex));
    return pWords ? m_arrWords[*pWords] : s_none;
}

CStringW CLyc::GetLineTranslation(int nIndex) const {
    const CStringW* pTranslation = LineEntry(m_mapTranslation, static_cast<size_t>(nIndex));
    return pTranslation ? *pTranslation : CStringW();
}

CStringW CLyc::GetNextLine() {
    if (!m_bLoaded || m_nCurIndex < 0)
        return L" ";
    const size_t j = static_cast<size_t>(m_nCurIndex) + 1;
    return j < m_arrTime.size() ? TextAt(j) : CStringW(L" ");
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

int CLyc::ClassifyLine(const CStringW& strLine) {
    if (strLine.IsEmpty() || strLine[0] != L'[' || strLine.Find(L']') < 0)
        return LINE_OTHER;
    const wchar_t c1 = CharAt(strLine, 1);
    const wchar_t c2 = CharAt(strLine, 2);
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
        bOffset = IsLetter(CharAt(strLine, i + 1), kOffset[i]);
    if (bOffset)
        return LINE_OFFSET;
    // Any other bracketed tag ([length:03:45], [id: 51037068], [re:...]) is a header.
    LrcStamp stamp;
    return ReadLrcStamp(strLine.Str(), 0, stamp) ? LINE_TIME : LINE_OTHER;
}

// The leading run of stamps (spaces or tabs between them) gives the line's start times; the
// text is everything after that run, less the stamps inside it, which time its words, and less
// the spaces and tabs around it. The first line read with a start time is its original; a later
// line with the same time is its translation (the form bilingual files take), and a third one
// follows the translation.
void CLyc::ParseTimeLine(const CStringW& strLine) {
    const std::wstring& s = strLine.Str();
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
    std::wstring strText = TakeWordStamps(s, nTextStart, words);
    TrimText(strText, words);
    // Word times count from the line's first stamp, so every stamp of the line shares them and a
    // repeat of the line sings its words as far in.
    for (LrcWord& word : words)
        word.dStart -= dFirst;
    size_t nWords = kNoWords;   // index in m_arrWords once an original takes them
    std::set<CString> written;  // a key met again on this line is the same line, not a translation
    for (size_t i = 0; i < nTextStart;) {
        const size_t nStamp = ReadLrcStamp(s, i, stamp);
        if (nStamp == 0) {
            ++i;  // a space or tab between stamps
            continue;
        }
        i += nStamp;
        if (nStamps == 1 || written.insert(stamp.strKey).second)
            AddStamped(stamp.strKey, stamp.dTime, strText, words, nWords);
    }
}

void CLyc::AddStamped(const CString& strKey, double dTime, const std::wstring& strText,
                      const std::vector<LrcWord>& words, size_t& nWords) {
    const auto it = m_mapText.find(strKey);
    // A bare stamp before a line with the same time only stood for it.
    const bool bOriginal = it == m_mapText.end() || (it->second.IsEmpty() && !strText.empty());
    if (!bOriginal) {
        // A translation's own word timings are not kept: the original is what fills.
        if (strText.empty())
            return;
        CStringW& strTranslation = m_mapTranslation[strKey];
        if (!strTranslation.IsEmpty())
            strTranslation += L"  ";
        strTranslation += CStringW(strText);
        return;
    }
    if (it == m_mapText.end()) {
        m_arrTime.push_back(dTime);
        m_mapText.emplace(strKey, CStringW(strText));
    } else {
        it->second = CStringW(strText);
    }
    if (words.empty()) {
        if (!m_mapWords.empty())
            m_mapWords.erase(strKey);
        return;
    }
    if (nWords == kNoWords) {
        nWords = m_arrWords.size();
        m_arrWords.push_back(words);
    }
    m_mapWords[strKey] = nWords;
}

void CLyc::ParseTitle(const CStringW& strLine) {
    m_strTitle = TagValue(strLine, 4);
}

void CLyc::ParseArtist(const CStringW& strLine) {
    m_strArtist = TagValue(strLine, 4);
}

void CLyc::ParseAlbum(const CStringW& strLine) {
    m_strAlbum = TagValue(strLine, 4);
}

void CLyc::ParseBy(const CStringW& strLine) {
    m_strBy = TagValue(strLine, 4);
}

void CLyc::ParseOffset(const CStringW& strLine) {
    // Milliseconds in the file, seconds here.
    m_dOffset = std::wcstod(TagValue(strLine, 8), nullptr) / 1000;
}

CString CLyc::TimeKey(double dTime) {
    CString strKey;
    strKey.Format("%.2f", dTime);
    return strKey;
}

template <typename Value>
const Value* CLyc::LineEntry(const std::map<CString, Value>& map, size_t i) const {
    // An empty map spares formatting the key: no line has an entry.
    if (!m_bLoaded || map.empty() || i >= m_arrTime.size())
        return nullptr;
    const auto it = map.find(TimeKey(m_arrTime[i]));
    return it == map.end() ? nullptr : &it->second;
}

CStringW CLyc::TextAt(size_t i) const {
    const CStringW* pText = LineEntry(m_mapText, i);
    return pText ? *pText : CStringW();
}

size_t CLyc::FirstLaterThan(double t) const {
    return static_cast<size_t>(std::upper_bound(m_arrTime.begin(), m_arrTime.end(), t) - m_arrTime.begin());
}
