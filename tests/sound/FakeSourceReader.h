// A source reader of our own for the decoder: it takes only the output types its rule allows,
// may refuse every seek, and gives a second of silence in 100 ms samples. Wine's Media
// Foundation converts every source to 16-bit PCM and seeks in all of them, so the decoder's
// other ways can only be seen through it.
#pragma once

#include <windows.h>
#include <mfapi.h>
#include <mferror.h>
#include <mfidl.h>
#include <mfreadwrite.h>

#include <atomic>

#include "framework/Holders.h"

class FakeSourceReader final : public IMFSourceReader {
public:
    enum class Takes { Pcm16, OwnPcm24, FloatOnly };
    struct Rule {
        Takes takes = Takes::Pcm16;
        bool bSeeks = true;
    };
    static Rule s_rule;
    static std::atomic<int> s_nSeeks;  // asked for since the last reader was made; the worker asks
    static std::atomic<int> s_nReads;
    static HRESULT Make(const wchar_t* /*pszPath*/, IMFSourceReader** ppReader) {
        s_nSeeks = s_nReads = 0;
        *ppReader = new FakeSourceReader();
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
        if (iid != __uuidof(IUnknown) && iid != __uuidof(IMFSourceReader))
            return E_NOINTERFACE;
        AddRef();
        *ppv = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_nRefs; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG n = --m_nRefs;
        if (n == 0)
            delete this;
        return n;
    }
    HRESULT STDMETHODCALLTYPE GetStreamSelection(DWORD, BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetStreamSelection(DWORD, BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetNativeMediaType(DWORD, DWORD, IMFMediaType**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCurrentMediaType(DWORD, IMFMediaType** ppType) override {
        const bool bFloat = s_rule.takes == Takes::FloatOnly;
        const UINT32 nBits = s_rule.takes == Takes::Pcm16 ? 16 : s_rule.takes == Takes::OwnPcm24 ? 24 : 32;
        IMFMediaType* pType = nullptr;
        if (FAILED(::MFCreateMediaType(&pType)))
            return E_FAIL;
        pType->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Audio);
        pType->SetGUID(MF_MT_SUBTYPE, bFloat ? MFAudioFormat_Float : MFAudioFormat_PCM);
        pType->SetUINT32(MF_MT_AUDIO_NUM_CHANNELS, 2);
        pType->SetUINT32(MF_MT_AUDIO_SAMPLES_PER_SECOND, kRate);
        pType->SetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, nBits);
        pType->SetUINT32(MF_MT_AUDIO_BLOCK_ALIGNMENT, nBits / 8 * 2);
        pType->SetUINT32(MF_MT_AUDIO_AVG_BYTES_PER_SECOND, nBits / 8 * 2 * kRate);
        *ppType = pType;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetCurrentMediaType(DWORD, DWORD*, IMFMediaType* pType) override {
        GUID subtype = {};
        UINT32 nBits = 0;
        pType->GetGUID(MF_MT_SUBTYPE, &subtype);
        const bool bBits = SUCCEEDED(pType->GetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, &nBits));
        bool bTaken = false;
        switch (s_rule.takes) {
        case Takes::Pcm16:
            bTaken = subtype == MFAudioFormat_PCM;
            break;
        case Takes::OwnPcm24:
            bTaken = subtype == MFAudioFormat_PCM && !bBits;
            break;
        case Takes::FloatOnly:
            bTaken = subtype == MFAudioFormat_Float;
            break;
        }
        return bTaken ? S_OK : MF_E_INVALIDMEDIATYPE;
    }
    HRESULT STDMETHODCALLTYPE SetCurrentPosition(REFGUID, REFPROPVARIANT) override {
        ++s_nSeeks;
        m_nNext = 0;
        return s_rule.bSeeks ? S_OK : MF_E_INVALIDREQUEST;
    }
    HRESULT STDMETHODCALLTYPE ReadSample(DWORD, DWORD, DWORD*, DWORD* pdwFlags, LONGLONG* pllTime,
                                         IMFSample** ppSample) override {
        ++s_nReads;
        *pdwFlags = 0;
        *ppSample = nullptr;
        if (m_nNext == 10) {
            *pdwFlags = MF_SOURCE_READERF_ENDOFSTREAM;
            return S_OK;
        }
        *pllTime = m_nNext++ * 1000000LL;     // 100 ms in 100 ns
        const DWORD cb = kRate / 10 * 2 * 4;  // 100 ms of the widest samples
        CComPtr<IMFMediaBuffer> pBuffer;
        if (FAILED(::MFCreateMemoryBuffer(cb, &pBuffer)) || FAILED(::MFCreateSample(ppSample)))
            return E_FAIL;
        pBuffer->SetCurrentLength(cb);
        (*ppSample)->AddBuffer(pBuffer.Get());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Flush(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetServiceForStream(DWORD, REFGUID, REFIID, LPVOID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPresentationAttribute(DWORD, REFGUID, PROPVARIANT* pValue) override {
        pValue->vt = VT_UI8;
        pValue->uhVal.QuadPart = 10000000;  // a second
        return S_OK;
    }

private:
    static constexpr UINT32 kRate = 44100;
    ULONG m_nRefs = 1;
    int m_nNext = 0;
};

inline FakeSourceReader::Rule FakeSourceReader::s_rule;
inline std::atomic<int> FakeSourceReader::s_nSeeks{0};
inline std::atomic<int> FakeSourceReader::s_nReads{0};
