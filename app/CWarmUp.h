// Loads, on a thread of its own, what the main window's initialisation would otherwise wait
// for on first use: the audio driver behind the mixer, the fonts of the dialog templates, and
// COM's class lookup with the XML library. It only fills caches the system keeps for the whole
// process; every step of the start still runs on the GUI thread and gets the same results,
// only sooner. A warm-up that fails, or is not done yet, costs nothing but time.
#pragma once

#include <windows.h>

#include "framework/Holders.h"

class CWarmUp {
public:
    // Starts the thread; if it cannot start, nothing is warmed.
    CWarmUp();
    // Waits for the thread: the process must not end under it while it is inside the loader
    // or the audio driver.
    ~CWarmUp();
    CWarmUp(const CWarmUp&) = delete;
    CWarmUp& operator=(const CWarmUp&) = delete;

    // What the thread does, callable on any thread; also run by the tests.
    static void WarmAudioDriver();
    static void WarmTemplateFonts();
    static void WarmXmlLibrary();

    // The font the dialog manager makes for a dialog template; false when it names none.
    static bool TemplateFont(UINT nIDTemplate, LOGFONTW* pFont);

private:
    static unsigned __stdcall Run(void* pParam);

    CHandle m_thread;
};
