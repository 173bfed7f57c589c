#include "lyrics/CHttpGet.h"

#include <algorithm>
#include <utility>

namespace {

// Windows 7 offers TLS 1.0 alone unless asked for more; services want 1.2 or later. Systems that
// do not know 1.3 refuse the whole set, so they are asked again without it.
void AllowModernTls(HINTERNET hSession) {
    DWORD dwProtocols =
        WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3 | WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2 | WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_1;
    if (::WinHttpSetOption(hSession, WINHTTP_OPTION_SECURE_PROTOCOLS, &dwProtocols, sizeof(dwProtocols)))
        return;
    dwProtocols &= ~WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3;
    ::WinHttpSetOption(hSession, WINHTTP_OPTION_SECURE_PROTOCOLS, &dwProtocols, sizeof(dwProtocols));
}

std::wstring Widen(const std::string& strAscii) {
    return std::wstring(strAscii.begin(), strAscii.end());
}

}  // namespace

CHttpGet::CHttpGet(std::wstring strUserAgent, DWORD dwConnectMs, DWORD dwWholeMs, size_t nMaxBody)
    : m_strUserAgent(std::move(strUserAgent)),
      m_dwConnectMs(dwConnectMs),
      m_dwWholeMs(dwWholeMs),
      m_nMaxBody(nMaxBody) {}

CHttpGet::~CHttpGet() {
    CloseAll();
}

CHttpGet::Result CHttpGet::Get(const std::wstring& strBaseUrl, const std::string& strPath, DWORD* pdwStatus,
                               std::string* pBody) {
    *pdwStatus = 0;
    pBody->clear();
    const ULONGLONG ullDeadline = ::GetTickCount64() + m_dwWholeMs;

    wchar_t szHost[256] = {};
    wchar_t szPrefix[1024] = {};
    URL_COMPONENTS url = {};
    url.dwStructSize = sizeof(url);
    url.lpszHostName = szHost;
    url.dwHostNameLength = ARRAYSIZE(szHost);
    url.lpszUrlPath = szPrefix;
    url.dwUrlPathLength = ARRAYSIZE(szPrefix);
    if (!::WinHttpCrackUrl(strBaseUrl.c_str(), 0, 0, &url))
        return FAILED;
    std::wstring strObject(szPrefix, url.dwUrlPathLength);
    while (!strObject.empty() && strObject.back() == L'/')
        strObject.pop_back();
    strObject += Widen(strPath);

    Result result = FAILED;
    // Kept by the handle slots as they are made, so that Cancel can close them mid-call.
    const HINTERNET hSession = ::WinHttpOpen(m_strUserAgent.c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                             WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
    if (Hold(m_hSession, hSession)) {
        AllowModernTls(hSession);
        const HINTERNET hConnect = ::WinHttpConnect(hSession, szHost, url.nPort, 0);
        if (Hold(m_hConnect, hConnect)) {
            const DWORD dwFlags = url.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
            const HINTERNET hRequest = ::WinHttpOpenRequest(hConnect, L"GET", strObject.c_str(), nullptr,
                                                            WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, dwFlags);
            if (Hold(m_hRequest, hRequest))
                result = Exchange(hRequest, ullDeadline, pdwStatus, pBody);
        }
    }
    CloseAll();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_bCancelled)
            result = CANCELLED;
    }
    if (result != OK)
        pBody->clear();
    return result;
}

CHttpGet::Result CHttpGet::Exchange(HINTERNET hRequest, ULONGLONG ullDeadline, DWORD* pdwStatus, std::string* pBody) {
    if (!LimitTo(hRequest, ullDeadline) ||
        !::WinHttpSendRequest(hRequest, L"Accept: application/json", static_cast<DWORD>(-1), WINHTTP_NO_REQUEST_DATA, 0,
                              0, 0))
        return FAILED;
    if (!LimitTo(hRequest, ullDeadline) || !::WinHttpReceiveResponse(hRequest, nullptr))
        return FAILED;
    DWORD dwStatus = 0;
    DWORD dwSize = sizeof(dwStatus);
    if (!::WinHttpQueryHeaders(hRequest, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                               WINHTTP_HEADER_NAME_BY_INDEX, &dwStatus, &dwSize, WINHTTP_NO_HEADER_INDEX))
        return FAILED;
    *pdwStatus = dwStatus;
    DWORD dwLength = 0;
    dwSize = sizeof(dwLength);
    const bool bLength =
        ::WinHttpQueryHeaders(hRequest, WINHTTP_QUERY_CONTENT_LENGTH | WINHTTP_QUERY_FLAG_NUMBER,
                              WINHTTP_HEADER_NAME_BY_INDEX, &dwLength, &dwSize, WINHTTP_NO_HEADER_INDEX) != FALSE;
    if (bLength && dwLength > m_nMaxBody)
        return TOO_LARGE;
    char buf[16384];
    for (;;) {
        // Only what has come: a read of more would wait for it, past the deadline if the
        // server sends a byte at a time.
        DWORD dwAvailable = 0;
        DWORD dwRead = 0;
        if (!LimitTo(hRequest, ullDeadline) || !::WinHttpQueryDataAvailable(hRequest, &dwAvailable) ||
            !::WinHttpReadData(hRequest, buf, std::min<DWORD>(dwAvailable, sizeof(buf)), &dwRead))
            return FAILED;
        if (dwRead == 0)
            break;
        pBody->append(buf, dwRead);
        if (pBody->size() > m_nMaxBody)
            return TOO_LARGE;
    }
    // A connection closed mid-body ends the reading as the end of the body would.
    if (bLength && pBody->size() != dwLength)
        return FAILED;
    return OK;
}

bool CHttpGet::LimitTo(HINTERNET hRequest, ULONGLONG ullDeadline) const {
    const ULONGLONG ullNow = ::GetTickCount64();
    if (ullNow >= ullDeadline)
        return false;
    DWORD dwLeft = static_cast<DWORD>(ullDeadline - ullNow);
    const DWORD dwConnect = std::min(dwLeft, m_dwConnectMs);
    ::WinHttpSetTimeouts(hRequest, static_cast<int>(dwConnect), static_cast<int>(dwConnect), static_cast<int>(dwLeft),
                         static_cast<int>(dwLeft));
    ::WinHttpSetOption(hRequest, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &dwLeft, sizeof(dwLeft));
    return true;
}

bool CHttpGet::Hold(CHttpHandle& slot, HINTERNET hNew) {
    CHttpHandle handle(hNew);
    if (!handle)
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_bCancelled)
        return false;
    slot = std::move(handle);
    return true;
}

void CHttpGet::Cancel() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bCancelled = true;
    // Closing a handle from another thread is how a blocked call on it is ended.
    m_hRequest.Reset();
    m_hConnect.Reset();
    m_hSession.Reset();
}

void CHttpGet::CloseAll() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_hRequest.Reset();
    m_hConnect.Reset();
    m_hSession.Reset();
}
