// Message maps: one static table per window class, walked from the class to its bases.
// Each entry holds a small thunk that unpacks the message and calls the typed handler.
#pragma once

#include <windows.h>

class CWnd;

using AFX_PMSG_THUNK = LRESULT (*)(CWnd* pWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // window message, or WM_COMMAND with nCode and nID
    UINT nCode;     // notification code of WM_COMMAND
    UINT nID;       // control ID of WM_COMMAND
    AFX_PMSG_THUNK pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// The six WM_CTLCOLOR* messages share one entry under the old combined message number.
constexpr UINT AFX_WM_CTLCOLOR = 0x0019;

// The table macros are laid out as the tables they build.
// clang-format off
#define DECLARE_MESSAGE_MAP()                          \
public:                                                \
    static const AFX_MSGMAP* GetThisMessageMap();      \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                          \
    inline const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    inline const AFX_MSGMAP* theClass::GetThisMessageMap() {                            \
        using ThisClass [[maybe_unused]] = theClass;                                    \
        typedef baseClass TheBaseClass;                                                 \
        static const AFX_MSGMAP_ENTRY entries[] = {
#define END_MESSAGE_MAP()                                                               \
            {0, 0, 0, nullptr}};                                                        \
        static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, &entries[0]};  \
        return &map;                                                                    \
    }

#define AFX_THUNK(body) [](CWnd* pWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) -> LRESULT { \
        (void)nMsg; (void)wParam; (void)lParam;                                                \
        ThisClass* p = static_cast<ThisClass*>(pWnd);                                          \
        body                                                                                   \
    }

#define ON_COMMAND_CODE(code, id, fn) {WM_COMMAND, (code), (id), AFX_THUNK(p->fn(); return 0;)},
#define ON_COMMAND(id, fn) ON_COMMAND_CODE(BN_CLICKED, id, fn)
#define ON_BN_CLICKED(id, fn) ON_COMMAND_CODE(BN_CLICKED, id, fn)
#define ON_LBN_DBLCLK(id, fn) ON_COMMAND_CODE(LBN_DBLCLK, id, fn)
#define ON_LBN_SELCHANGE(id, fn) ON_COMMAND_CODE(LBN_SELCHANGE, id, fn)
#define ON_MESSAGE(msg, fn) {(msg), 0, 0, AFX_THUNK(return p->fn(wParam, lParam);)},

#define ON_WM_TIMER() {WM_TIMER, 0, 0, AFX_THUNK(p->OnTimer(static_cast<UINT_PTR>(wParam)); return 0;)},
#define ON_WM_PAINT() {WM_PAINT, 0, 0, AFX_THUNK(p->OnPaint(); return 0;)},
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, AFX_THUNK(p->OnDestroy(); return 0;)},
#define ON_WM_CLOSE() {WM_CLOSE, 0, 0, AFX_THUNK(p->OnClose(); return 0;)},
#define ON_WM_QUERYDRAGICON() \
    {WM_QUERYDRAGICON, 0, 0, AFX_THUNK(return reinterpret_cast<LRESULT>(p->OnQueryDragIcon());)},
#define ON_WM_SYSCOMMAND() \
    {WM_SYSCOMMAND, 0, 0, AFX_THUNK(p->OnSysCommand(static_cast<UINT>(wParam), lParam); return 0;)},
#define ON_WM_LBUTTONDOWN() \
    {WM_LBUTTONDOWN, 0, 0, AFX_THUNK(p->OnLButtonDown(static_cast<UINT>(wParam), CPoint(lParam)); return 0;)},
#define ON_WM_LBUTTONUP() \
    {WM_LBUTTONUP, 0, 0, AFX_THUNK(p->OnLButtonUp(static_cast<UINT>(wParam), CPoint(lParam)); return 0;)},
#define ON_WM_MOUSEMOVE() \
    {WM_MOUSEMOVE, 0, 0, AFX_THUNK(p->OnMouseMove(static_cast<UINT>(wParam), CPoint(lParam)); return 0;)},
#define ON_WM_DROPFILES() \
    {WM_DROPFILES, 0, 0, AFX_THUNK(p->OnDropFiles(reinterpret_cast<HDROP>(wParam)); return 0;)},
#define ON_WM_CREATE() \
    {WM_CREATE, 0, 0, AFX_THUNK(return p->OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam));)},
#define ON_WM_HOTKEY()                                                                         \
    {WM_HOTKEY, 0, 0, AFX_THUNK(p->OnHotKey(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)); return 0;)},
// The handler takes the command or passes it on with Default(); either way the map took it.
#define ON_WM_APPCOMMAND()                                                                     \
    {WM_APPCOMMAND, 0, 0, AFX_THUNK(CWnd from(reinterpret_cast<HWND>(wParam));                \
        p->OnAppCommand(&from, GET_APPCOMMAND_LPARAM(lParam), GET_DEVICE_LPARAM(lParam),        \
                        GET_KEYSTATE_LPARAM(lParam)); return TRUE;)},
#define ON_WM_HSCROLL()                                                                        \
    {WM_HSCROLL, 0, 0, AFX_THUNK(CScrollBar bar(reinterpret_cast<HWND>(lParam));              \
        p->OnHScroll(LOWORD(wParam), HIWORD(wParam), lParam ? &bar : nullptr); return 0;)},
#define ON_WM_CTLCOLOR()                                                                       \
    {AFX_WM_CTLCOLOR, 0, 0, AFX_THUNK(CDC dc(reinterpret_cast<HDC>(wParam));                  \
        CWnd ctl(reinterpret_cast<HWND>(lParam));                                              \
        return reinterpret_cast<LRESULT>(p->OnCtlColor(&dc, &ctl, nMsg - WM_CTLCOLORMSGBOX));)},
// clang-format on
