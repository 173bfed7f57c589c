// One command at a time from the window's thread to a worker, and the bounded wait for the
// worker's answer. A newer command replaces one the worker has not taken yet.
#pragma once

#include <windows.h>

#include <mutex>

#include "framework/Holders.h"

class CCommandMailbox {
public:
    enum class Command { None, Play, Quit };
    struct Letter {
        Command command = Command::None;
        DWORD dwFromMs = 0;
        HWND hNotify = nullptr;
        LPARAM lNotify = 0;
    };

    CCommandMailbox();
    bool IsReady() const { return m_hArrived && m_hAnswered; }
    // Set while a letter waits: the worker waits on it.
    HANDLE Arrived() const { return m_hArrived.Get(); }

    // Leaves a letter and returns its number.
    unsigned Post(const Letter& letter);
    // True once the worker has answered letter nSerial; false after dwTimeoutMs or when hWorker
    // has ended without answering.
    bool WaitForAnswer(unsigned nSerial, DWORD dwTimeoutMs, HANDLE hWorker);

    // The worker's side: the waiting letter (Command::None when there is none) and its number.
    Letter Take(unsigned* pnSerial);
    void Answer(unsigned nSerial);

private:
    std::mutex m_lock;
    CHandle m_hArrived, m_hAnswered;
    Letter m_letter;
    unsigned m_nPosted = 0;
    unsigned m_nAnswered = 0;
};
