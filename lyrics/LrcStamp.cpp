#include "lyrics/LrcStamp.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

// Leading fields of up to this many digits take the exact path in whole hundredths.
const size_t kExactDigits = 9;

struct Span {
    size_t at = 0;
    size_t len = 0;
};

size_t CountDigits(const std::wstring& s, size_t i) {
    size_t j = i;
    while (j < s.size() && s[j] >= '0' && s[j] <= '9')
        ++j;
    return j - i;
}

int64_t DigitsValue(const std::wstring& s, Span span) {
    int64_t v = 0;
    for (size_t i = 0; i < span.len; ++i)
        v = v * 10 + (s[span.at + i] - '0');
    return v;
}

// Any number of digits; too many for a double give infinity.
double DigitsDouble(const std::wstring& s, Span span) {
    double v = 0;
    for (size_t i = 0; i < span.len; ++i)
        v = v * 10 + (s[span.at + i] - '0');
    return v;
}

// Whole hundredths written as "%.2f" writes them.
CString HundredthsKey(bool bNegative, int64_t nHundredths) {
    char buf[32];
    char* p = buf + sizeof(buf);
    *--p = '\0';
    *--p = static_cast<char>('0' + nHundredths % 10);
    *--p = static_cast<char>('0' + nHundredths / 10 % 10);
    *--p = '.';
    int64_t nWhole = nHundredths / 100;
    do {
        *--p = static_cast<char>('0' + nWhole % 10);
        nWhole /= 10;
    } while (nWhole > 0);
    if (bNegative)
        *--p = '-';
    return CString(p);
}

// A stamp as written: a sign, two or three numbers joined by ':', perhaps a '.' and a fraction.
struct Written {
    bool bNegative = false;
    Span fields[3];
    int nFields = 0;
    Span dotted;
};

// Editors and hand-written files put spaces inside the brackets: [ 00:01.00], [00:01.00 ].
size_t SkipSpaces(const std::wstring& s, size_t i) {
    while (i < s.size() && s[i] == ' ')
        ++i;
    return i;
}

// From just past the opening bracket to the closing one: its offset, or 0 when there is none
// right after the numbers (spaces aside).
size_t ScanWritten(const std::wstring& s, size_t i, wchar_t close, Written& w) {
    const size_t n = s.size();
    i = SkipSpaces(s, i);
    w.bNegative = i < n && s[i] == '-';
    if (w.bNegative)
        ++i;
    for (;;) {
        Span& field = w.fields[w.nFields];
        field.at = i;
        field.len = CountDigits(s, i);
        if (field.len == 0)
            return 0;
        i += field.len;
        if (++w.nFields == 3 || i >= n || s[i] != ':')
            break;
        ++i;
    }
    // Some editors write a comma before the fraction.
    if (i < n && (s[i] == '.' || s[i] == ',')) {
        w.dotted.at = ++i;
        w.dotted.len = CountDigits(s, i);
        if (w.dotted.len == 0)
            return 0;
        i += w.dotted.len;
    }
    i = SkipSpaces(s, i);
    return w.nFields >= 2 && i < n && s[i] == close ? i : 0;
}

struct Parts {
    Span hours, minutes, seconds, fraction;
};

// [m:ss.f], [m:ss:ff] or [h:mm:ss.f]; false when a field after the first has more than two digits.
bool SplitWritten(const Written& w, Parts& parts) {
    if (w.nFields == 2) {
        parts.minutes = w.fields[0];
        parts.seconds = w.fields[1];
        parts.fraction = w.dotted;
    } else if (w.dotted.len == 0) {
        parts.minutes = w.fields[0];
        parts.seconds = w.fields[1];
        parts.fraction = w.fields[2];
    } else {
        parts.hours = w.fields[0];
        parts.minutes = w.fields[1];
        parts.seconds = w.fields[2];
        parts.fraction = w.dotted;
        if (parts.minutes.len > 2)
            return false;
    }
    return parts.seconds.len <= 2;
}

// Whole hundredths, counted exactly.
void SetExact(const std::wstring& s, bool bNegative, const Parts& parts, LrcStamp& stamp) {
    int64_t nHundredths =
        (DigitsValue(s, parts.hours) * 60 + DigitsValue(s, parts.minutes)) * 60 + DigitsValue(s, parts.seconds);
    nHundredths = nHundredths * 100 + DigitsValue(s, parts.fraction) * (parts.fraction.len == 1 ? 10 : 1);
    const bool bSigned = bNegative && nHundredths != 0;
    stamp.strKey = HundredthsKey(bSigned, nHundredths);
    stamp.dTime = (bSigned ? -1 : 1) * (static_cast<double>(nHundredths) / 100);
}

// Milliseconds or a huge minute count: rounded as "%.2f" rounds the sum. False when it is
// too large for a double.
bool SetRounded(const std::wstring& s, bool bNegative, const Parts& parts, LrcStamp& stamp) {
    // Digits only: each code unit is one ASCII byte.
    std::string strSeconds(s.begin() + parts.seconds.at, s.begin() + parts.seconds.at + parts.seconds.len);
    strSeconds += '.';
    strSeconds.append(s.begin() + parts.fraction.at, s.begin() + parts.fraction.at + parts.fraction.len);
    const double dTime =
        (DigitsDouble(s, parts.hours) * 60 + DigitsDouble(s, parts.minutes)) * 60 + std::atof(strSeconds.c_str());
    if (!std::isfinite(dTime))
        return false;
    stamp.strKey.Format("%.2f", bNegative ? -dTime : dTime);
    stamp.dTime = std::atof(stamp.strKey);
    if (stamp.dTime == 0) {
        stamp.strKey = "0.00";
        stamp.dTime = 0.0;
    }
    return true;
}

}  // namespace

size_t ReadLrcStamp(const std::wstring& s, size_t at, LrcStamp& stamp) {
    if (at >= s.size() || (s[at] != '[' && s[at] != '<'))
        return 0;
    Written written;
    const size_t nClose = ScanWritten(s, at + 1, s[at] == '[' ? ']' : '>', written);
    Parts parts;
    if (nClose == 0 || !SplitWritten(written, parts))
        return 0;
    if (parts.fraction.len <= 2 && written.fields[0].len <= kExactDigits)
        SetExact(s, written.bNegative, parts, stamp);
    else if (!SetRounded(s, written.bNegative, parts, stamp))
        return 0;
    return nClose + 1 - at;
}
