// Owns one BSTR. The DOM speaks UTF-16; the windows speak GBK, converted here and nowhere else.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <cassert>
#include <utility>

#include "framework/CString.h"

class CBstr {
public:
    CBstr() = default;
    explicit CBstr(const wchar_t* psz) : m_bstr(::SysAllocString(psz)) {}
    // Null when memory runs out; the DOM then refuses the call.
    static CBstr FromGbk(const CString& str);
    CBstr(const CBstr&) = delete;
    CBstr& operator=(const CBstr&) = delete;
    CBstr(CBstr&& other) noexcept : m_bstr(std::exchange(other.m_bstr, nullptr)) {}
    CBstr& operator=(CBstr&& other) noexcept {
        std::swap(m_bstr, other.m_bstr);
        return *this;
    }
    ~CBstr() { ::SysFreeString(m_bstr); }

    BSTR Get() const { return m_bstr; }
    // Hands the string to a new owner.
    BSTR Detach() { return std::exchange(m_bstr, nullptr); }
    // For out parameters.
    BSTR* operator&() {
        assert(!m_bstr);
        return &m_bstr;
    }
    bool Equals(const wchar_t* psz) const;
    CString ToGbk() const;

private:
    BSTR m_bstr = nullptr;
};
