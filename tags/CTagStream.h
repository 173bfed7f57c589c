// Bytes taken one after another, with skips: how a Vorbis comment is walked, inside a FLAC block
// and across Ogg pages alike.
#pragma once

#include <cstdint>
#include <string>

class CTagStream {
public:
    virtual ~CTagStream() = default;
    // Exactly nBytes into out, or false when the stream ends first.
    virtual bool Read(size_t nBytes, std::string& out) = 0;
    // False when the stream ends first.
    virtual bool Skip(uint64_t nBytes) = 0;
};
