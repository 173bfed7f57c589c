#include "lyrics/CBandNotice.h"

void CBandNotice::Show(const CString& strText, int nTicks) {
    m_strText = strText;
    m_nTicksLeft = nTicks;
}

bool CBandNotice::Take(CString& strText) {
    if (m_nTicksLeft <= 0)
        return false;
    --m_nTicksLeft;
    strText = m_strText;
    return true;
}
