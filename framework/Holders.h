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

// Kernel objects that are null when there is none: events, processes, threads, mappings.
struct Kernel {
    using Handle = HANDLE;
    static Handle None() { return nullptr; }
    static void Close(Handle h) { ::CloseHandle(h); }
};
// CreateFile's handle, INVALID_HANDLE_VALUE when there is none.
struct File {
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::CloseHandle(h); }
};
struct Find {
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::FindClose(h); }
};
struct MappedView {
    using Handle = const void*;
    static Handle None() { return nullptr; }
    static void Close(Handle h) { ::UnmapViewOfFile(h); }
};
struct LocalMemory {
    using Handle = HLOCAL;
    static Handle None() { return nullptr; }
    static void Close(Handle h) { ::LocalFree(h); }
};
struct Library {
    using Handle = HMODULE;
    static Handle None() { return nullptr; }
    static void Close(Handle h) { ::FreeLibrary(h); }
};
struct Mixer {
    using Handle = HMIXER;
    static Handle None() { return nullptr; }
    static void Close(Handle h) { ::mixerClose(h); }
};
struct Http {
    using Handle = HINTERNET;
    static Handle None() { return nullptr; }
    static void Close(Handle h) { ::WinHttpCloseHandle(h); }
};
struct Drop {
    using Handle = HDROP;
    static Handle None() { return nullptr; }
    static void Close(Handle h) { ::DragFinish(h); }
};
struct Hook {
    using Handle = HHOOK;
    static Handle None() { return nullptr; }
    static void Close(Handle h) { ::UnhookWindowsHookEx(h); }
};
struct CFile {
    using Handle = FILE*;
    static Handle None() { return nullptr; }
    static void Close(Handle h) { std::fclose(h); }
};
struct Bstr {
    using Handle = BSTR;
    static Handle None() { return nullptr; }
    static void Close(Handle h) { ::SysFreeString(h); }
};

}  // namespace holder_traits

using CHandle = CHandleHolder<holder_traits::Kernel>;
using CFileHandle = CHandleHolder<holder_traits::File>;
using CFindHandle = CHandleHolder<holder_traits::Find>;
using CMappedView = CHandleHolder<holder_traits::MappedView>;
using CLocalMemory = CHandleHolder<holder_traits::LocalMemory>;
using CLibrary = CHandleHolder<holder_traits::Library>;
using CMixerHandle = CHandleHolder<holder_traits::Mixer>;
using CHttpHandle = CHandleHolder<holder_traits::Http>;
using CDropHandle = CHandleHolder<holder_traits::Drop>;
using CHookHandle = CHandleHolder<holder_traits::Hook>;
using CFilePtr = CHandleHolder<holder_traits::CFile>;
using CBstr = CHandleHolder<holder_traits::Bstr>;

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
