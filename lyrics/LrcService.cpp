#include "lyrics/LrcService.h"

#include "lyrics/LrclibApi.h"
#include "version.h"

std::wstring LrcServiceUrl() {
    wchar_t szUrl[1024];
    const DWORD n = ::GetEnvironmentVariableW(L"SONELLO_LYRICS_URL", szUrl, ARRAYSIZE(szUrl));
    return n > 0 && n < ARRAYSIZE(szUrl) ? std::wstring(szUrl, n) : std::wstring(kLrclibBaseUrl);
}

std::wstring LrcServiceAgent() {
    const std::string strAgent = "Sonello/" SONELLO_VERSION_TEXT " (" SONELLO_HOMEPAGE ")";
    return std::wstring(strAgent.begin(), strAgent.end());
}
