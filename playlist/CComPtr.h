// Owns one reference to a COM interface and releases it when it goes.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <cassert>
#include <utility>

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
