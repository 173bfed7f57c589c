#include "tags/CTagFile.h"

#include <cstdio>
#include <utility>

CTagFile::CTagFile(const wchar_t* pszPath) : m_file(::_wfopen(pszPath, L"rb")) {
    if (m_file && _fseeki64(m_file.Get(), 0, SEEK_END) == 0) {
        const long long nSize = _ftelli64(m_file.Get());
        m_nSize = nSize > 0 ? static_cast<uint64_t>(nSize) : 0;
    }
}

CTagFile::CTagFile(std::string bytes) : m_bytes(std::move(bytes)), m_nSize(m_bytes.size()) {}

std::string CTagFile::ReadAt(uint64_t nOffset, size_t nBytes) const {
    if (nOffset >= m_nSize)
        return std::string();
    if (nBytes > m_nSize - nOffset)
        nBytes = static_cast<size_t>(m_nSize - nOffset);
    if (!m_file)
        return m_bytes.substr(static_cast<size_t>(nOffset), nBytes);
    std::string bytes;
    if (_fseeki64(m_file.Get(), static_cast<long long>(nOffset), SEEK_SET) != 0)
        return bytes;
    bytes.resize(nBytes);
    bytes.resize(std::fread(&bytes[0], 1, nBytes, m_file.Get()));
    return bytes;
}
