#include "sound/CCommandMailbox.h"

#include <utility>

CCommandMailbox::CCommandMailbox()
    : m_hArrived(::CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      m_hAnswered(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

unsigned CCommandMailbox::Post(const Letter& letter) {
    unsigned nSerial;
    {
        const std::lock_guard<std::mutex> held(m_lock);
        m_letter = letter;
        nSerial = ++m_nPosted;
    }
    ::SetEvent(m_hArrived.Get());
    return nSerial;
}

bool CCommandMailbox::WaitForAnswer(unsigned nSerial, DWORD dwTimeoutMs, HANDLE hWorker) {
    const ULONGLONG ullDeadline = ::GetTickCount64() + dwTimeoutMs;
    for (;;) {
        {
            const std::lock_guard<std::mutex> held(m_lock);
            if (m_nAnswered == nSerial)
                return true;
        }
        const ULONGLONG ullNow = ::GetTickCount64();
        if (ullNow >= ullDeadline)
            return false;
        const HANDLE waits[] = {m_hAnswered.Get(), hWorker};
        if (::WaitForMultipleObjects(2, waits, FALSE, static_cast<DWORD>(ullDeadline - ullNow)) == WAIT_OBJECT_0 + 1)
            return false;  // the worker has gone
    }
}

CCommandMailbox::Letter CCommandMailbox::Take(unsigned* pnSerial) {
    const std::lock_guard<std::mutex> held(m_lock);
    *pnSerial = m_nPosted;
    return std::exchange(m_letter, Letter());
}

void CCommandMailbox::Answer(unsigned nSerial) {
    {
        const std::lock_guard<std::mutex> held(m_lock);
        m_nAnswered = nSerial;
    }
    ::SetEvent(m_hAnswered.Get());
}
