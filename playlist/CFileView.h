// A file mapped for reading, closed when it goes. Under Wine a mapped 28 MB file is read in a
// tenth of the time ReadFile takes to fill fresh memory with it.
#pragma once

#include <windows.h>

#include <string_view>

class CFileView {
public:
    CFileView() = default;
    CFileView(const CFileView&) = delete;
    CFileView& operator=(const CFileView&) = delete;
    ~CFileView() { Close(); }

    // False when the file cannot be opened or mapped (an empty file cannot be).
    bool Open(const char* pszFile) {
        Close();
        m_hFile = ::CreateFileA(pszFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        LARGE_INTEGER size = {};
        if (m_hFile == INVALID_HANDLE_VALUE || !::GetFileSizeEx(m_hFile, &size) || size.QuadPart <= 0 ||
            size.QuadPart >= 0x40000000)
            return Close(), false;
        m_hMapping = ::CreateFileMappingA(m_hFile, nullptr, PAGE_READONLY, 0, 0, nullptr);
        const void* pView = m_hMapping ? ::MapViewOfFile(m_hMapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
        if (!pView)
            return Close(), false;
        m_bytes = std::string_view(static_cast<const char*>(pView), static_cast<size_t>(size.QuadPart));
        return true;
    }
    // The file cannot be replaced while it is mapped.
    void Close() {
        if (!m_bytes.empty())
            ::UnmapViewOfFile(m_bytes.data());
        m_bytes = std::string_view();
        if (m_hMapping)
            ::CloseHandle(m_hMapping);
        m_hMapping = nullptr;
        if (m_hFile != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
    }
    std::string_view Bytes() const { return m_bytes; }

private:
    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    HANDLE m_hMapping = nullptr;
    std::string_view m_bytes;
};
