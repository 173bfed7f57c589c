// The bytes of a file between two offsets, as a stream.
#pragma once

#include "tags/CTagFile.h"
#include "tags/CTagStream.h"

class CFileSpan : public CTagStream {
public:
    CFileSpan(const CTagFile& file, uint64_t nBegin, uint64_t nEnd)
        : m_file(file), m_nPos(nBegin), m_nEnd(nEnd < nBegin ? nBegin : nEnd) {}

    bool Read(size_t nBytes, std::string& out) override;
    bool Skip(uint64_t nBytes) override;

private:
    const CTagFile& m_file;
    uint64_t m_nPos;
    uint64_t m_nEnd;
};
