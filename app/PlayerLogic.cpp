#include "app/PlayerLogic.h"

CString FormatElapsed(DWORD dwMilliseconds) {
    const DWORD s = dwMilliseconds / 1000;
    const int m = static_cast<int>(s / 60);
    const int r = static_cast<int>(s % 60);
    CString str;
    if (m < 10)
        str.Format(r < 10 ? "0%d:0%d" : "0%d:%d", m, r);
    else
        str.Format(r < 10 ? "%d:0%d" : "%d:%d", m, r);
    return str;
}

int StepSelection(int nCount, int nSel, bool bNext) {
    if (nCount <= 0 || nSel < 0)
        return -1;
    if (nCount == 1)
        return nSel;
    if (bNext)
        return nSel + 1 == nCount ? 0 : nSel + 1;
    return nSel == 0 ? nCount - 1 : nSel - 1;
}
