#include "sound/CMfDecoder.h"

#include <mfapi.h>
#include <mferror.h>
#include <mfidl.h>

#include <algorithm>

namespace {

// A decoder that keeps answering with no sound is taken to have ended.
constexpr int kMaxEmptyReads = 64;
constexpr LONGLONG kTicksPerMs = 10000;  // Media Foundation counts time in 100 ns

INIT_ONCE g_mfStarted = INIT_ONCE_STATIC_INIT;

BOOL CALLBACK StartMediaFoundation(PINIT_ONCE /*pOnce*/, PVOID /*pParam*/, PVOID* /*ppContext*/) {
    // The Windows editions without media (N, KN) have no Media Foundation: a delay-loaded call
    // into it would raise, so its libraries are loaded here first, and kept for the process.
    if (!::LoadLibraryW(L"mfplat.dll") || !::LoadLibraryW(L"mfreadwrite.dll"))
        return FALSE;
    // Once for the process: the platform's work queues then stay until it ends.
    return SUCCEEDED(::MFStartup(MF_VERSION, MFSTARTUP_FULL));
}

}  // namespace

CMfDecoder::ReaderMaker CMfDecoder::s_pfnMakeReader = [](const wchar_t* pszPath, IMFSourceReader** ppReader) {
    return ::MFCreateSourceReaderFromURL(pszPath, nullptr, ppReader);
};

bool CMfDecoder::StartUp() {
    return ::InitOnceExecuteOnce(&g_mfStarted, StartMediaFoundation, nullptr, nullptr) != FALSE;
}

bool CMfDecoder::Open(const CStringW& strPath) {
    if (FAILED(s_pfnMakeReader(strPath, &m_pReader)))
        return false;
    m_pReader->SetStreamSelection(MF_SOURCE_READER_ALL_STREAMS, FALSE);
    if (FAILED(m_pReader->SetStreamSelection(MF_SOURCE_READER_FIRST_AUDIO_STREAM, TRUE)))
        return false;  // no sound in it: a video alone, or an M4A with no audio track
    if (!SetPcmOutput())
        return false;
    PROPVARIANT duration;
    ::PropVariantInit(&duration);
    if (SUCCEEDED(m_pReader->GetPresentationAttribute(MF_SOURCE_READER_MEDIASOURCE, MF_PD_DURATION, &duration)) &&
        duration.vt == VT_UI8)
        m_dwLengthMs = static_cast<DWORD>(std::min<ULONGLONG>(duration.uhVal.QuadPart / kTicksPerMs, MAXDWORD));
    ::PropVariantClear(&duration);
    return true;
}

bool CMfDecoder::SetPcmOutput() {
    // PCM at the source's own rate and channels; the reader puts the decoder in. 16 bits where
    // the decoder gives them, else its own PCM, else floats: wave-out plays all three.
    const struct {
        const GUID* pSubtype;
        UINT32 nBits;
    } kWanted[] = {{&MFAudioFormat_PCM, 16}, {&MFAudioFormat_PCM, 0}, {&MFAudioFormat_Float, 0}};
    bool bSet = false;
    for (const auto& wanted : kWanted) {
        CComPtr<IMFMediaType> pWanted;
        if (FAILED(::MFCreateMediaType(&pWanted)))
            return false;
        pWanted->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Audio);
        pWanted->SetGUID(MF_MT_SUBTYPE, *wanted.pSubtype);
        if (wanted.nBits)
            pWanted->SetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, wanted.nBits);
        bSet = SUCCEEDED(m_pReader->SetCurrentMediaType(MF_SOURCE_READER_FIRST_AUDIO_STREAM, nullptr, pWanted.Get()));
        if (bSet)
            break;
    }
    CComPtr<IMFMediaType> pGot;
    if (!bSet || FAILED(m_pReader->GetCurrentMediaType(MF_SOURCE_READER_FIRST_AUDIO_STREAM, &pGot)))
        return false;
    WAVEFORMATEX* pFormat = nullptr;
    UINT32 cbFormat = 0;
    if (FAILED(
            ::MFCreateWaveFormatExFromMFMediaType(pGot.Get(), &pFormat, &cbFormat, MFWaveFormatExConvertFlag_Normal)))
        return false;
    m_format.assign(reinterpret_cast<const BYTE*>(pFormat), reinterpret_cast<const BYTE*>(pFormat) + cbFormat);
    m_nRate = pFormat->nSamplesPerSec;
    m_nBlockAlign = pFormat->nBlockAlign;
    const WORD nChannels = pFormat->nChannels;
    ::CoTaskMemFree(pFormat);
    return m_nRate != 0 && m_nBlockAlign != 0 && nChannels != 0;
}

bool CMfDecoder::Seek(DWORD dwMs) {
    m_llTarget = dwMs * kTicksPerMs;
    m_bSkipping = true;
    const bool bAtStart = m_bFresh && dwMs == 0;
    m_bFresh = false;
    // A fresh reader stands at the start already: a source that cannot seek still plays.
    if (bAtStart)
        return true;
    PROPVARIANT position;
    ::PropVariantInit(&position);
    position.vt = VT_I8;
    position.hVal.QuadPart = m_llTarget;
    return SUCCEEDED(m_pReader->SetCurrentPosition(GUID_NULL, position));
}

bool CMfDecoder::Read(std::vector<BYTE>& pcm, DWORD* pdwLateMs) {
    m_bFresh = false;
    int nEmpty = 0;
    for (;;) {
        DWORD dwFlags = 0;
        LONGLONG llTime = 0;
        CComPtr<IMFSample> pSample;
        if (FAILED(
                m_pReader->ReadSample(MF_SOURCE_READER_FIRST_AUDIO_STREAM, 0, nullptr, &dwFlags, &llTime, &pSample)) ||
            (dwFlags & (MF_SOURCE_READERF_ERROR | MF_SOURCE_READERF_ENDOFSTREAM)))
            return false;
        if (dwFlags & MF_SOURCE_READERF_CURRENTMEDIATYPECHANGED)
            return false;  // the device was opened for the old format
        if (!pSample) {
            if (++nEmpty == kMaxEmptyReads)
                return false;
            continue;
        }
        CComPtr<IMFMediaBuffer> pBuffer;
        BYTE* pData = nullptr;
        DWORD cbData = 0;
        if (FAILED(pSample->ConvertToContiguousBuffer(&pBuffer)) || FAILED(pBuffer->Lock(&pData, nullptr, &cbData)))
            return false;
        const DWORD cbSkip = SkipFor(llTime, cbData, pdwLateMs);
        pcm.assign(pData + cbSkip, pData + cbData);
        pBuffer->Unlock();
        if (!pcm.empty())
            return true;
        if (cbData == 0 && ++nEmpty == kMaxEmptyReads)
            return false;
    }
}

DWORD CMfDecoder::SkipFor(LONGLONG llTime, DWORD cbData, DWORD* pdwLateMs) {
    if (!m_bSkipping || cbData == 0)
        return 0;
    DWORD cbSkip = 0;
    if (llTime < m_llTarget) {
        // A seek lands on a frame before the target: the samples up to it are dropped.
        const LONGLONG llFrames = (m_llTarget - llTime) * m_nRate / (1000 * kTicksPerMs);
        cbSkip = static_cast<DWORD>(std::min<LONGLONG>(llFrames * m_nBlockAlign, cbData));
    } else if (llTime > m_llTarget) {
        *pdwLateMs = static_cast<DWORD>(llTime / kTicksPerMs);
    }
    m_bSkipping = cbSkip == cbData;  // the whole sample lay before the target
    return cbSkip;
}
