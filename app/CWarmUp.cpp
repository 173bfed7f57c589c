#include "app/CWarmUp.h"

#include <process.h>

#include "app/StartupTimes.h"
#include "framework/CDC.h"
#include "framework/CFont.h"
#include "framework/Holders.h"
#include "playlist/CSongListStore.h"
#include "playlist/CXmlDoc.h"
#include "sound/AudioDriver.h"
#include "res/resource.h"

namespace {

// The windows whose templates name the fonts they are drawn with.
const UINT kTemplates[] = {IDD_SONELLO_DIALOG, IDD_PLAYLIST, IDD_LRC};

// Steps over a name-or-ordinal field of a dialog template.
const WORD* SkipNameOrOrdinal(const WORD* p) {
    if (*p == 0xFFFF)
        return p + 2;
    while (*p++)
        ;
    return p;
}

}  // namespace

CWarmUp::CWarmUp()
    : m_thread(reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, &CWarmUp::Run, nullptr, 0, nullptr))) {}

CWarmUp::~CWarmUp() {
    if (m_thread)
        ::WaitForSingleObject(m_thread.Get(), INFINITE);
}

unsigned __stdcall CWarmUp::Run(void* /*pParam*/) {
    WarmAudioDriver();
    StartupTimes::Note("warm-up: audio driver");
    WarmTemplateFonts();
    StartupTimes::Note("warm-up: fonts");
    // A file the store wrote is read without the DOM; a missing one is made through it. Loading
    // the library when it is not needed would only hold up the loads the window waits for.
    if (::GetFileAttributesA(CSongListStore::kFileName) == INVALID_FILE_ATTRIBUTES) {
        WarmXmlLibrary();
        StartupTimes::Note("warm-up: XML library");
    }
    return 0;
}

void CWarmUp::WarmAudioDriver() {
    // Shared with the sound engine: a mixer call of the main window's waits for this load
    // rather than run beside it.
    LoadAudioDriver();
}

bool CWarmUp::TemplateFont(UINT nIDTemplate, LOGFONTW* pFont) {
    const HINSTANCE hInstance = ::GetModuleHandleA(nullptr);
    const HRSRC hRes = ::FindResourceA(hInstance, MAKEINTRESOURCEA(nIDTemplate), RT_DIALOG);
    const HGLOBAL hData = hRes ? ::LoadResource(hInstance, hRes) : nullptr;
    const auto* p = static_cast<const WORD*>(hData ? ::LockResource(hData) : nullptr);
    // Only the extended form is read; ours are all extended.
    if (!p || p[0] != 1 || p[1] != 0xFFFF)
        return false;
    const DWORD dwStyle = MAKELONG(p[6], p[7]);
    if (!(dwStyle & DS_SETFONT))
        return false;
    p += 13;                   // version, signature, help ID, extended style, style, items, x, y, cx, cy
    p = SkipNameOrOrdinal(p);  // menu
    p = SkipNameOrOrdinal(p);  // class
    while (*p++)               // title
        ;
    *pFont = {};
    const HDC hScreen = ::GetDC(nullptr);
    pFont->lfHeight = -::MulDiv(static_cast<short>(p[0]), ::GetDeviceCaps(hScreen, LOGPIXELSY), 72);
    ::ReleaseDC(nullptr, hScreen);
    pFont->lfWeight = p[1];
    pFont->lfItalic = LOBYTE(p[2]);
    // The template's character set is not used: the dialog manager asks for the default one.
    pFont->lfCharSet = DEFAULT_CHARSET;
    pFont->lfQuality = PROOF_QUALITY;
    pFont->lfPitchAndFamily = FF_DONTCARE;
    ::lstrcpynW(pFont->lfFaceName, reinterpret_cast<const wchar_t*>(p + 3), LF_FACESIZE);
    return true;
}

void CWarmUp::WarmTemplateFonts() {
    CClientDC screen(nullptr);
    if (!screen.GetSafeHdc())
        return;
    for (UINT nID : kTemplates) {
        LOGFONTW lf;
        CFont font;
        if (!TemplateFont(nID, &lf) || !font.Attach(::CreateFontIndirectW(&lf)))
            continue;
        // Released, the font stays in the system's cache, where the dialog's identical request
        // finds it with its file mapped and its face read.
        const CSelectScope select(screen, font);
        // What the dialog manager measures for its base units.
        static const wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        SIZE size;
        ::GetTextExtentPoint32W(screen, kLetters, 52, &size);
    }
}

void CWarmUp::WarmXmlLibrary() {
    // Kept for the life of the process: this document is the library's only user so far, and
    // COM would unload it with the document, to be loaded again for the song list.
    const CLibrary library(::LoadLibraryA("msxml3.dll"));
    HMODULE hPinned = nullptr;
    if (library)
        ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN, "msxml3.dll", &hPinned);
    CXmlDoc doc;
    doc.Create();
}
