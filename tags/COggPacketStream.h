// The packets at the start of an Ogg file's first logical stream, read across pages: a header
// packet (a comment with a picture in it, say) may span many pages. Page bodies that are not
// needed are seeked over; a damaged page or another stream's continuation ends the stream.
#pragma once

#include "tags/CTagFile.h"
#include "tags/CTagStream.h"

class COggPacketStream : public CTagStream {
public:
    explicit COggPacketStream(const CTagFile& file) : m_file(file) {}

    // Moves to the start of the next packet; false at the end of the stream or at damage.
    bool NextPacket();
    // Within the current packet only.
    bool Read(size_t nBytes, std::string& out) override;
    bool Skip(uint64_t nBytes) override;

private:
    // Loads the header of the stream's next page; false at the end of the file or at damage.
    bool LoadPage();
    // Takes the current packet's bytes on this page, from the next segment on.
    void TakeRun();
    // Moves to the current packet's bytes on the next page; false when the packet has ended.
    bool NextRun();

    const CTagFile& m_file;
    uint64_t m_nNextPage = 0;  // offset of the page after the loaded one
    uint32_t m_nSerial = 0;    // the first page's stream; pages of others are passed over
    int m_nPages = 0;
    std::string m_lacing;       // the loaded page's segment sizes
    size_t m_nSegment = 0;      // the next segment of m_lacing to take
    bool m_bContinued = false;  // the loaded page begins with the rest of a packet
    bool m_bInPacket = false;
    uint64_t m_nPos = 0;      // offset of the next byte of the current packet
    uint64_t m_nRunLeft = 0;  // bytes of the current packet left on this page from m_nPos
    bool m_bRunEndsPacket = false;
};
