#include "framework/Holders.h"

#include <gtest/gtest.h>

#include "framework/CDC.h"
#include "framework/CFont.h"

namespace {

bool IsOpen(HANDLE h) {
    DWORD dwFlags = 0;
    return ::GetHandleInformation(h, &dwFlags) != FALSE;
}

// Counts its references, as a COM object does.
class CountedObject : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_nRefs; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_nRefs; }
    ULONG m_nRefs = 1;
};

TEST(Holders, AHandleIsClosedOnceByWhoeverHoldsItLast) {
    const HANDLE hEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(hEvent);
    {
        CHandle first(hEvent);
        CHandle second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_EQ(hEvent, second.Get());
        CHandle third;
        third = std::move(second);
        EXPECT_TRUE(IsOpen(hEvent));
    }
    EXPECT_FALSE(IsOpen(hEvent));

    const HANDLE hKept = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    { EXPECT_EQ(hKept, CHandle(hKept).Detach()); }
    EXPECT_TRUE(IsOpen(hKept));
    CHandle holder(hKept);
    holder.Reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    EXPECT_FALSE(IsOpen(hKept));
    EXPECT_TRUE(IsOpen(holder.Get()));
}

TEST(Holders, AFailedOpenIsEmptyInTheWayItsCallSaysSo) {
    const CFileHandle missing(
        ::CreateFileA("Z:\\no such folder\\x", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(missing);
    EXPECT_EQ(INVALID_HANDLE_VALUE, missing.Get());
    EXPECT_FALSE(CHandle(::OpenEventA(EVENT_ALL_ACCESS, FALSE, "Sonello no such event")));
    EXPECT_FALSE(CFilePtr(std::fopen("Z:\\no such folder\\x", "rb")));
}

TEST(Holders, AComPointerHoldsOneReferenceOfItsOwn) {
    CountedObject object;
    {
        const CComPtr<IUnknown> p(&object);
        EXPECT_EQ(2u, object.m_nRefs);
        CComPtr<IUnknown> copy = p;
        EXPECT_EQ(3u, object.m_nRefs);
        const CComPtr<IUnknown> moved = std::move(copy);
        EXPECT_EQ(3u, object.m_nRefs);
        EXPECT_FALSE(copy);
    }
    EXPECT_EQ(1u, object.m_nRefs);
}

TEST(Holders, ASelectionPutsBackTheObjectItReplaced) {
    CClientDC screen(nullptr);
    CDC mem;
    ASSERT_TRUE(mem.CreateCompatibleDC(screen));
    const HGDIOBJ hBefore = ::GetCurrentObject(mem, OBJ_FONT);
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(120, "Arial"));
    {
        const CSelectScope selected(mem, font);
        EXPECT_EQ(font.GetSafeHandle(), ::GetCurrentObject(mem, OBJ_FONT));
    }
    EXPECT_EQ(hBefore, ::GetCurrentObject(mem, OBJ_FONT));
}

}  // namespace
