// A song file's bytes, read at offsets by the tag readers: they read headers and seek over the
// rest, so a read never asks for more than the file holds. Also wraps bytes already in memory
// (a tag undone from unsynchronisation), so that one reader serves both.
#pragma once

#include <cstdint>
#include <string>

#include "framework/Holders.h"

class CTagFile {
public:
    explicit CTagFile(const wchar_t* pszPath);
    explicit CTagFile(std::string bytes);
    CTagFile(const CTagFile&) = delete;
    CTagFile& operator=(const CTagFile&) = delete;

    uint64_t Size() const { return m_nSize; }
    // Up to nBytes from nOffset: fewer at the end of the file, none past it or on a failed read.
    std::string ReadAt(uint64_t nOffset, size_t nBytes) const;

private:
    CFilePtr m_file;
    std::string m_bytes;  // the bytes themselves when there is no file
    uint64_t m_nSize = 0;
};
