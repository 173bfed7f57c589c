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

size_t CountDigits(const std::string& s, size_t i) {
    size_t j = i;
    while (j < s.size() && s[j] >= '0' && s[j] <= '9')
        ++j;
    return j - i;
}

int64_t DigitsValue(const std::string& s, Span span) {
    int64_t v = 0;
    for (size_t i = 0; i < span.len; ++i)
        v = v * 10 + (s[span.at + i] - '0');
    return v;
}

// Any number of digits; too many for a double give infinity.
double DigitsDouble(const std::string& s, Span span) {
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

}  // namespace

size_t ReadLrcStamp(const std::string& s, size_t at, LrcStamp& stamp) {
    const size_t n = s.size();
    if (at >= n || (s[at] != '[' && s[at] != '<'))
        return 0;
    const char close = s[at] == '[' ? ']' : '>';
    size_t i = at + 1;
    const bool bNegative = i < n && s[i] == '-';
    if (bNegative)
        ++i;
    // Two or three numbers joined by ':', then perhaps a '.' and a fraction.
    Span fields[3];
    int nFields = 0;
    for (;;) {
        fields[nFields].at = i;
        fields[nFields].len = CountDigits(s, i);
        if (fields[nFields].len == 0)
            return 0;
        i += fields[nFields++].len;
        if (nFields == 3 || i >= n || s[i] != ':')
            break;
        ++i;
    }
    Span dotted;
    if (i < n && s[i] == '.') {
        dotted.at = ++i;
        dotted.len = CountDigits(s, i);
        if (dotted.len == 0)
            return 0;
        i += dotted.len;
    }
    if (nFields < 2 || i >= n || s[i] != close)
        return 0;

    // [m:ss.f], [m:ss:ff] or [h:mm:ss.f]; every field after the first has one or two digits.
    Span hours, minutes, seconds, fraction;
    if (nFields == 2) {
        minutes = fields[0];
        seconds = fields[1];
        fraction = dotted;
    } else if (dotted.len == 0) {
        minutes = fields[0];
        seconds = fields[1];
        fraction = fields[2];
    } else {
        hours = fields[0];
        minutes = fields[1];
        seconds = fields[2];
        fraction = dotted;
        if (minutes.len > 2)
            return 0;
    }
    if (seconds.len > 2)
        return 0;

    if (fraction.len <= 2 && fields[0].len <= kExactDigits) {
        int64_t nHundredths = (DigitsValue(s, hours) * 60 + DigitsValue(s, minutes)) * 60 + DigitsValue(s, seconds);
        nHundredths = nHundredths * 100 + DigitsValue(s, fraction) * (fraction.len == 1 ? 10 : 1);
        const bool bSigned = bNegative && nHundredths != 0;
        stamp.strKey = HundredthsKey(bSigned, nHundredths);
        stamp.dTime = (bSigned ? -1 : 1) * (static_cast<double>(nHundredths) / 100);
    } else {
        // Milliseconds or a huge minute count: rounded as "%.2f" rounds the sum.
        const std::string strSeconds = s.substr(seconds.at, seconds.len) + "." + s.substr(fraction.at, fraction.len);
        const double dTime =
            (DigitsDouble(s, hours) * 60 + DigitsDouble(s, minutes)) * 60 + std::atof(strSeconds.c_str());
        if (!std::isfinite(dTime))
            return 0;
        stamp.strKey.Format("%.2f", bNegative ? -dTime : dTime);
        stamp.dTime = std::atof(stamp.strKey);
        if (stamp.dTime == 0) {
            stamp.strKey = "0.00";
            stamp.dTime = 0.0;
        }
    }
    return i + 1 - at;
}
