// One HTTP or HTTPS GET through WinHTTP, the system's own stack, on the calling (worker) thread,
// within a time for connecting and a time for the whole request; another thread may cancel it.
// Owns the session, connection and request handles of the request under way.
#pragma once

#include <windows.h>
#include <winhttp.h>

#include <mutex>
#include <string>

#include "framework/Holders.h"

class CHttpGet {
public:
    enum Result {
        OK,         // an answer came whole, whatever its status
        FAILED,     // no connection, a broken or cut-off answer, or out of time
        TOO_LARGE,  // the body passed the limit; reading stopped there
        CANCELLED,
    };

    CHttpGet(std::wstring strUserAgent, DWORD dwConnectMs, DWORD dwWholeMs, size_t nMaxBody);
    ~CHttpGet();
    CHttpGet(const CHttpGet&) = delete;
    CHttpGet& operator=(const CHttpGet&) = delete;

    // strBaseUrl: scheme, host, optional port and path prefix; strPath: the rest, ASCII already
    // percent-encoded.
    Result Get(const std::wstring& strBaseUrl, const std::string& strPath, DWORD* pdwStatus, std::string* pBody);
    // From any thread: ends the request under way and every later one.
    void Cancel();

private:
    Result Exchange(HINTERNET hRequest, ULONGLONG ullDeadline, DWORD* pdwStatus, std::string* pBody);
    // Sets the request's time limits to what is left until the deadline; false when nothing is.
    bool LimitTo(HINTERNET hRequest, ULONGLONG ullDeadline) const;
    // Keeps a handle so that Cancel can close it; false (and closed) once cancelled.
    bool Hold(CHttpHandle& slot, HINTERNET hNew);
    void CloseAll();

    const std::wstring m_strUserAgent;
    const DWORD m_dwConnectMs;
    const DWORD m_dwWholeMs;
    const size_t m_nMaxBody;
    std::mutex m_mutex;  // guards what follows: Cancel closes the handles from another thread
    bool m_bCancelled = false;
    CHttpHandle m_hSession;
    CHttpHandle m_hConnect;
    CHttpHandle m_hRequest;
};
