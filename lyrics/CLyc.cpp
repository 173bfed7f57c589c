#include "lyrics/CLyc.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "lyrics/LrcText.h"

CLyc g_lyc;

namespace {

// Tag values are copied into a 500-byte buffer with room for its terminator.
const int kMaxTagValue = 499;

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

std::string ReadAllBytes(const char* pszPath) {
    std::string bytes;
    FilePtr f(std::fopen(pszPath, "rb"));
    if (!f)
        return bytes;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof(buf), f.get())) > 0)
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

// From nStart up to, not including, the closing byte; cut to what the buffer holds, and never
// inside a two-byte character.
CString TagValue(const CString& strLine, int nStart) {
    const int nLength = strLine.GetLength();
    if (nLength < nStart + 2)
        return CString();
    const CString strValue = strLine.Mid(nStart, nLength - 1 - nStart);
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

}  // namespace

CLyc::~CLyc() {
    m_mapText.clear();
    m_arrTime.clear();
}

bool CLyc::Load(CString strPath) {
    m_bLoaded = false;
    if (!FilePtr(std::fopen(strPath, "r")))
        return false;

    m_mapText.clear();
    m_arrTime.clear();
    m_strArtist = m_strAlbum = m_strTitle = m_strBy = "UnKnow";
    m_dFirstTime = m_dLastTime = 0.0;
    m_nCurIndex = 0;
    m_dOffset = 0.0;

    // Read as bytes: a text-mode read would take a 0x1A or 0x0D 0x0A inside UTF-16 for control codes.
    std::vector<CString> lines = SplitTextModeLines(LrcBytesToGbk(ReadAllBytes(strPath)));
    for (CString& strLine : lines) {
        // Blank lines are skipped, not taken for the end: editors leave them between verses.
        if (strLine.Str().find_first_not_of(' ') == std::string::npos)
            continue;
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

    // Without a single time there is no first or last line to answer with.
    if (m_arrTime.empty())
        return true;
    m_bLoaded = true;
    std::sort(m_arrTime.begin(), m_arrTime.end());
    m_dFirstTime = m_arrTime.front();
    m_dLastTime = m_arrTime.back();
    return true;
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

int CLyc::ClassifyLine(CString strLine) {
    if (strLine.IsEmpty() || strLine[0] != '[' || strLine.Find(']') < 0)
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
    if (strLine.Find(':') >= 0)
        return LINE_TIME;
    return LINE_OTHER;
}

// Each step takes the tag before the first ']' and moves on past it; the text of every step is
// what follows the line's last ']'. Walked by offsets, with only the last text per key copied,
// so that a long line of brackets costs linear time rather than a copy per byte.
void CLyc::ParseTimeLine(CString strLine) {
    const std::string& s = strLine.Str();
    const size_t n = s.size();
    const char* p = s.c_str();
    const size_t npos = std::string::npos;
    const size_t lastClose = s.rfind(']');
    const size_t lastOpen = s.rfind('[');

    std::map<CString, size_t> textStarts;  // key to where its latest text starts
    size_t cur = 0;                        // the step's line is s[cur..n)
    size_t close = s.find(']');            // first ']' at or after cur
    bool bKey = false;
    double dKeyTime = 0.0;
    double dKeyValue = 0.0;
    CString strKey;
    for (;;) {
        if (close != npos && close < cur)
            close = s.find(']', cur);
        // tag: s[cur+1 .. close); empty without a ']' or when the line starts with one.
        const bool bTag = close != npos && close > cur + 1;
        // rest: past the first ']' after the line's first byte, or the line without that byte.
        size_t restClose = close;
        if (restClose != npos && restClose < cur + 1)
            restClose = s.find(']', cur + 1);
        const size_t rest = restClose == npos ? cur + 1 : restClose + 1;
        const size_t text = (lastClose != npos && lastClose >= rest) ? lastClose + 1 : rest;

        double dMinutes = 0.0;
        double dSeconds = 0.0;
        if (bTag) {
            // atof stops at the ']' that ends the tag, so the tag needs no copy of its own.
            size_t lastColon = npos;
            for (size_t i = close; i > cur + 1; --i) {
                if (p[i - 1] == ':') {
                    lastColon = i - 1;
                    break;
                }
            }
            if (lastColon != npos) {
                dMinutes = std::atof(p + cur + 1);
                dSeconds = std::atof(p + lastColon + 1);
            } else {
                dSeconds = std::atof(p + cur + 1);
            }
        }
        double dTime = dMinutes * 60 + dSeconds;
        // An overflowing number has no key that reads back to it; count it as unreadable.
        if (!std::isfinite(dTime))
            dTime = 0.0;
        // Steps past the last ']' all land on one time; format it once ("-0.00" is a key of its own).
        if (!bKey || dTime != dKeyTime || std::signbit(dTime) != std::signbit(dKeyTime)) {
            strKey = TimeKey(dTime);
            dKeyTime = dTime;
            dKeyValue = std::atof(strKey);
            bKey = true;
        }
        m_arrTime.push_back(dKeyValue);
        textStarts[strKey] = text;

        if (rest >= n || lastOpen == npos || lastOpen < rest)
            break;
        cur = rest;
    }
    for (const auto& entry : textStarts)
        m_mapText[entry.first] = CString(p + entry.second, static_cast<int>(n - entry.second));
}

void CLyc::ParseTitle(CString strLine) {
    m_strTitle = TagValue(strLine, 4);
}

void CLyc::ParseArtist(CString strLine) {
    m_strArtist = TagValue(strLine, 4);
}

void CLyc::ParseAlbum(CString strLine) {
    m_strAlbum = TagValue(strLine, 4);
}

void CLyc::ParseBy(CString strLine) {
    m_strBy = TagValue(strLine, 4);
}

void CLyc::ParseOffset(CString strLine) {
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
    // A plain scan: lyric files are short and the band asks a handful of times a tick.
    size_t i = 0;
    while (i < m_arrTime.size() && !(t < m_arrTime[i]))
        ++i;
    return i;
}
