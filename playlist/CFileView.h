// A file mapped for reading, closed when it goes. Under Wine a mapped 28 MB file is read in a
// tenth of the time ReadFile takes to fill fresh memory with it.
#pragma once

#include <windows.h>

#include <string_view>

#include "framework/Holders.h"

class CFileView {
public:
    // False when the file cannot be opened or mapped (an empty file cannot be).
    bool Open(const char* pszFile) {
        Close();
        m_file.Reset(::CreateFileA(pszFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        LARGE_INTEGER size = {};
        if (!m_file || !::GetFileSizeEx(m_file.Get(), &size) || size.QuadPart <= 0 || size.QuadPart >= 0x40000000)
            return Close(), false;
        m_mapping.Reset(::CreateFileMappingA(m_file.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
        if (m_mapping)
            m_view.Reset(::MapViewOfFile(m_mapping.Get(), FILE_MAP_READ, 0, 0, 0));
        if (!m_view)
            return Close(), false;
        m_bytes = std::string_view(static_cast<const char*>(m_view.Get()), static_cast<size_t>(size.QuadPart));
        return true;
    }
    // The file cannot be replaced while it is mapped.
    void Close() {
        m_bytes = std::string_view();
        m_view.Reset();
        m_mapping.Reset();
        m_file.Reset();
    }
    std::string_view Bytes() const { return m_bytes; }

private:
    CFileHandle m_file;
    CHandle m_mapping;
    CMappedView m_view;
    std::string_view m_bytes;
};
