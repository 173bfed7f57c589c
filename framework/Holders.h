// Owners of what Win32 and COM hand out: each adds a name and ownership to a handle, nothing else.
// A holder releases what it holds when it goes; Detach hands it on, Reset releases it early.
#pragma once

#include <windows.h>
#include <mmsystem.h>
#include <oleauto.h>
#include <shellapi.h>
#include <unknwn.h>
#include <winhttp.h>

#include <cassert>
#include <cstdio>
#include <utility>

// One handle of the kind Traits names: the value that means none, and the call that closes it.
template <typename Traits>
class CHandleHolder {
public:
    using Handle = typename Traits::Handle;

    CHandleHolder() = default;
    explicit CHandleHolder(Handle h) : m_h(h) {}
    CHandleHolder(const CHandleHolder&) = delete;
    CHandleHolder& operator=(const CHandleHolder&) = delete;
    CHandleHolder(CHandleHolder&& other) noexcept : m_h(other.Detach()) {}
    CHandleHolder& operator=(CHandleHolder&& other) noexcept {
        Reset(other.Detach());
        return *this;
    }
    ~CHandleHolder() { Reset(); }

    Handle Get() const { return m_h; }
    explicit operator bool() const { return m_h != Traits::None(); }
    Handle Detach() { return std::exchange(m_h, Traits::None()); }
    void Reset(Handle h = Traits::None()) {
        const Handle old = std::exchange(m_h, h);
        if (old != Traits::None())
            Traits::Close(old);
    }
    // For out parameters: the holder must be empty, so nothing is overwritten unreleased.
    Handle* operator&() {
        assert(!*this);
        return &m_h;
    }

private:
    Handle m_h = Traits::None();
};

namespace holder_traits {

// Handles that are null when there is none.
template <typename H, auto pfnClose>
struct NullIsNone {
    using Handle = H;
    static Handle None() { return nullptr; }
    static void Close(Handle h) { pfnClose(h); }
};
// CreateFile's and FindFirstFile's handles, INVALID_HANDLE_VALUE when there is none.
template <auto pfnClose>
struct InvalidIsNone {
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { pfnClose(h); }
};

}  // namespace holder_traits

// Kernel objects that are null when there is none: events, processes, threads, mappings.
using CHandle = CHandleHolder<holder_traits::NullIsNone<HANDLE, ::CloseHandle>>;
using CFileHandle = CHandleHolder<holder_traits::InvalidIsNone<::CloseHandle>>;
using CFindHandle = CHandleHolder<holder_traits::InvalidIsNone<::FindClose>>;
using CMappedView = CHandleHolder<holder_traits::NullIsNone<const void*, ::UnmapViewOfFile>>;
using CLocalMemory = CHandleHolder<holder_traits::NullIsNone<HLOCAL, ::LocalFree>>;
using CLibrary = CHandleHolder<holder_traits::NullIsNone<HMODULE, ::FreeLibrary>>;
using CMixerHandle = CHandleHolder<holder_traits::NullIsNone<HMIXER, ::mixerClose>>;
using CHttpHandle = CHandleHolder<holder_traits::NullIsNone<HINTERNET, ::WinHttpCloseHandle>>;
using CDropHandle = CHandleHolder<holder_traits::NullIsNone<HDROP, ::DragFinish>>;
using CHookHandle = CHandleHolder<holder_traits::NullIsNone<HHOOK, ::UnhookWindowsHookEx>>;
using CFilePtr = CHandleHolder<holder_traits::NullIsNone<FILE*, std::fclose>>;
using CBstr = CHandleHolder<holder_traits::NullIsNone<BSTR, ::SysFreeString>>;

// One reference to a COM interface.
template <typename T>
class CComPtr {
public:
    CComPtr() = default;
    // Takes a reference of its own; the caller keeps its one.
    explicit CComPtr(T* p) : m_p(p) {
        if (m_p)
            m_p->AddRef();
    }
    CComPtr(const CComPtr& other) : CComPtr(other.m_p) {}
    CComPtr(CComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    CComPtr& operator=(CComPtr other) noexcept {
        std::swap(m_p, other.m_p);
        return *this;
    }
    ~CComPtr() { Release(); }

    void Release() {
        if (m_p)
            std::exchange(m_p, nullptr)->Release();
    }
    T* Get() const { return m_p; }
    T* operator->() const {
        assert(m_p);
        return m_p;
    }
    explicit operator bool() const { return m_p != nullptr; }
    // For out parameters: the pointer must be empty, so nothing is overwritten unreleased.
    T** operator&() {
        assert(!m_p);
        return &m_p;
    }

private:
    T* m_p = nullptr;
};

// A VARIANT, cleared when it goes.
class CVariant {
public:
    CVariant() { ::VariantInit(&m_v); }
    CVariant(const CVariant&) = delete;
    CVariant& operator=(const CVariant&) = delete;
    CVariant(CVariant&& other) noexcept : m_v(other.m_v) { other.m_v.vt = VT_EMPTY; }
    CVariant& operator=(CVariant&& other) noexcept {
        std::swap(m_v, other.m_v);
        return *this;
    }
    ~CVariant() { ::VariantClear(&m_v); }

    const VARIANT& Get() const { return m_v; }
    bool IsEmpty() const { return m_v.vt == VT_EMPTY; }
    // For filling in: the variant must be empty.
    VARIANT* operator&() {
        assert(IsEmpty());
        return &m_v;
    }

private:
    VARIANT m_v;
};

// COM joined on this thread for the holder's life. S_FALSE (joined already) is undone too;
// a failed join is not.
class CComInit {
public:
    CComInit() : m_bJoined(SUCCEEDED(::CoInitialize(nullptr))) {}
    CComInit(const CComInit&) = delete;
    CComInit& operator=(const CComInit&) = delete;
    ~CComInit() {
        if (m_bJoined)
            ::CoUninitialize();
    }

private:
    const bool m_bJoined;
};

// An object selected into a DC, and the one it replaced put back when the scope ends, so the DC
// goes back as it was handed out.
class CSelectScope {
public:
    CSelectScope(HDC hdc, HGDIOBJ hObject) : m_hdc(hdc), m_hOld(::SelectObject(hdc, hObject)) {}
    CSelectScope(const CSelectScope&) = delete;
    CSelectScope& operator=(const CSelectScope&) = delete;
    ~CSelectScope() {
        if (m_hOld)
            ::SelectObject(m_hdc, m_hOld);
    }

private:
    HDC m_hdc;
    HGDIOBJ m_hOld;
};
