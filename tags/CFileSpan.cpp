#include "tags/CFileSpan.h"

bool CFileSpan::Read(size_t nBytes, std::string& out) {
    if (nBytes > m_nEnd - m_nPos)
        return false;
    out = m_file.ReadAt(m_nPos, nBytes);
    m_nPos += out.size();
    return out.size() == nBytes;
}

bool CFileSpan::Skip(uint64_t nBytes) {
    if (nBytes > m_nEnd - m_nPos)
        return false;
    m_nPos += nBytes;
    return true;
}
