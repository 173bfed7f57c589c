// A song's sound decoded to PCM by Media Foundation's source reader. Used on one thread, the
// one that opened it, which has COM started.
#pragma once

#include <windows.h>
#include <mfidl.h>
#include <mfreadwrite.h>

#include <vector>

#include "framework/CStringW.h"
#include "framework/Holders.h"

class CMfDecoder {
public:
    // Starts Media Foundation once for the process; false where it is missing (the N editions).
    static bool StartUp();
    // Makes the source reader of a file; tests put a reader of their own here.
    using ReaderMaker = HRESULT (*)(const wchar_t* pszPath, IMFSourceReader** ppReader);
    static ReaderMaker s_pfnMakeReader;

    // False when the file holds no sound the platform decodes.
    bool Open(const CStringW& strPath);
    void Close() { m_pReader.Release(); }

    // The PCM given: the device's WAVEFORMATEX (or WAVEFORMATEXTENSIBLE) and its figures.
    const std::vector<BYTE>& Format() const { return m_format; }
    DWORD Rate() const { return m_nRate; }
    WORD BlockAlign() const { return m_nBlockAlign; }
    // The source's duration in ms; 0 when it does not say.
    DWORD LengthMs() const { return m_dwLengthMs; }

    // Goes to dwMs; false when the source cannot go there.
    bool Seek(DWORD dwMs);
    // The next sound from the place sought on, samples before it dropped; false at the end, on
    // an error, or when the format changes under the device. *pdwLateMs is set when the first
    // sound after a seek starts after the place sought.
    bool Read(std::vector<BYTE>& pcm, DWORD* pdwLateMs);

private:
    bool SetPcmOutput();
    // The part of a sample at llTime to keep, in bytes from its start.
    DWORD SkipFor(LONGLONG llTime, DWORD cbData, DWORD* pdwLateMs);

    CComPtr<IMFSourceReader> m_pReader;
    std::vector<BYTE> m_format;
    DWORD m_nRate = 0;
    WORD m_nBlockAlign = 0;
    DWORD m_dwLengthMs = 0;
    bool m_bFresh = true;      // nothing read since the open: it stands at the start already
    bool m_bSkipping = false;  // after a seek: drop what the decoder gives before the target
    LONGLONG m_llTarget = 0;
};
