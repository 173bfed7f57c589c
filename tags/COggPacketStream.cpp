#include "tags/COggPacketStream.h"

#include <algorithm>

#include "tags/TagText.h"

namespace {

const size_t kPageHeader = 27;
// Ends the walk of a file of tiny pages, or of a stream whose header packets never end.
const int kMaxPages = 4096;

}  // namespace

bool COggPacketStream::NextPacket() {
    if (m_bInPacket) {
        while (!m_bRunEndsPacket) {
            if (!NextRun())
                return false;
        }
        m_nPos += m_nRunLeft;
        m_nRunLeft = 0;
    }
    m_bInPacket = false;
    while (m_nSegment >= m_lacing.size()) {
        // A page that goes on with a packet we have not read: damage, or a stream cut apart.
        if (!LoadPage() || m_bContinued)
            return false;
    }
    m_bInPacket = true;
    TakeRun();
    return true;
}

bool COggPacketStream::Read(size_t nBytes, std::string& out) {
    out.clear();
    while (out.size() < nBytes) {
        if (m_nRunLeft == 0 && !NextRun())
            return false;
        const size_t nTake = static_cast<size_t>(std::min<uint64_t>(nBytes - out.size(), m_nRunLeft));
        const std::string part = m_file.ReadAt(m_nPos, nTake);
        if (part.size() != nTake)
            return false;
        out += part;
        m_nPos += nTake;
        m_nRunLeft -= nTake;
    }
    return true;
}

bool COggPacketStream::Skip(uint64_t nBytes) {
    while (nBytes > 0) {
        if (m_nRunLeft == 0 && !NextRun())
            return false;
        const uint64_t nTake = std::min(nBytes, m_nRunLeft);
        m_nPos += nTake;
        m_nRunLeft -= nTake;
        nBytes -= nTake;
    }
    return true;
}

bool COggPacketStream::LoadPage() {
    while (m_nPages++ < kMaxPages) {
        const uint64_t nPage = m_nNextPage;
        const std::string head = m_file.ReadAt(nPage, kPageHeader);
        if (head.size() < kPageHeader || head.compare(0, 4, "OggS") != 0 || head[4] != '\0')
            return false;
        const size_t nSegments = ByteAt(head, 26);
        std::string lacing = m_file.ReadAt(nPage + kPageHeader, nSegments);
        if (lacing.size() != nSegments)
            return false;
        uint64_t nBody = 0;
        for (size_t i = 0; i < nSegments; ++i)
            nBody += ByteAt(lacing, i);
        m_nNextPage = nPage + kPageHeader + nSegments + nBody;
        const uint32_t nSerial = LittleEndian32(head, 14);
        if (nPage == 0)
            m_nSerial = nSerial;
        else if (nSerial != m_nSerial)
            continue;
        m_lacing = std::move(lacing);
        m_nSegment = 0;
        m_bContinued = (ByteAt(head, 5) & 0x01) != 0;
        m_nPos = nPage + kPageHeader + nSegments;
        return true;
    }
    return false;
}

void COggPacketStream::TakeRun() {
    m_nRunLeft = 0;
    m_bRunEndsPacket = false;
    while (m_nSegment < m_lacing.size() && !m_bRunEndsPacket) {
        const unsigned nSize = ByteAt(m_lacing, m_nSegment++);
        m_nRunLeft += nSize;
        // A segment shorter than 255 bytes is a packet's last.
        m_bRunEndsPacket = nSize < 255;
    }
}

bool COggPacketStream::NextRun() {
    if (!m_bInPacket || m_bRunEndsPacket)
        return false;
    if (m_nSegment >= m_lacing.size()) {
        if (!LoadPage() || !m_bContinued)
            return false;
    }
    TakeRun();
    return true;
}
