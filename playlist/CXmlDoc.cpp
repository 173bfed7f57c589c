#include "playlist/CXmlDoc.h"

#include <cstring>
#include <cwctype>
#include <utility>

#include "playlist/CBstr.h"
#include "playlist/FileReplace.h"

namespace {

// The version-independent DOMDocument and its interfaces, spelled out: the SDK's
// CLSID_DOMDocument names the older class.
const CLSID kClsidDomDocument = {0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
const IID kIidXmlDomDocument = {0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
const IID kIidXmlDomDocument2 = {0x2933BF95, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
const IID kIidXmlDomProcessingInstruction = {0x2933BF89, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

// A VARIANT that is cleared when it goes.
class CVariant {
public:
    CVariant() { ::VariantInit(&m_v); }
    ~CVariant() { ::VariantClear(&m_v); }
    CVariant(const CVariant&) = delete;
    CVariant& operator=(const CVariant&) = delete;
    static CVariant FileName(const char* pszFile) {
        CVariant v;
        v.m_v.vt = VT_BSTR;
        v.m_v.bstrVal = CBstr::FromGbk(pszFile).Detach();
        return v;
    }
    static CVariant Bool(bool b) {
        CVariant v;
        v.m_v.vt = VT_BOOL;
        v.m_v.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
        return v;
    }
    // The file's bytes, or an empty variant when it cannot be read whole.
    static CVariant FileBytes(const char* pszFile) {
        CVariant v;
        const HANDLE hFile = ::CreateFileA(pszFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (hFile == INVALID_HANDLE_VALUE)
            return v;
        LARGE_INTEGER size = {};
        if (::GetFileSizeEx(hFile, &size) && size.QuadPart > 0 && size.QuadPart < 0x40000000) {
            const DWORD nSize = static_cast<DWORD>(size.QuadPart);
            SAFEARRAY* pArray = ::SafeArrayCreateVector(VT_UI1, 0, nSize);
            void* pData = nullptr;
            if (pArray && SUCCEEDED(::SafeArrayAccessData(pArray, &pData))) {
                DWORD nRead = 0;
                const bool bWhole = ::ReadFile(hFile, pData, nSize, &nRead, nullptr) && nRead == nSize;
                ::SafeArrayUnaccessData(pArray);
                if (bWhole) {
                    v.m_v.vt = VT_ARRAY | VT_UI1;
                    v.m_v.parray = std::exchange(pArray, nullptr);
                }
            }
            if (pArray)
                ::SafeArrayDestroy(pArray);
        }
        ::CloseHandle(hFile);
        return v;
    }
    CVariant(CVariant&& other) noexcept : m_v(other.m_v) { other.m_v.vt = VT_EMPTY; }
    CVariant& operator=(CVariant&& other) noexcept {
        std::swap(m_v, other.m_v);
        return *this;
    }
    const VARIANT& Get() const { return m_v; }
    bool IsEmpty() const { return m_v.vt == VT_EMPTY; }
    // The bytes of a FileBytes variant.
    const BYTE* Bytes() const { return static_cast<const BYTE*>(m_v.parray->pvData); }
    size_t ByteCount() const { return m_v.parray->rgsabound[0].cElements; }

private:
    VARIANT m_v;
};

// The value of the encoding pseudo-attribute in an XML declaration's data: its offset and
// length, or false when the declaration names none.
bool FindEncoding(const std::wstring& strData, size_t& nStart, size_t& nLength) {
    for (size_t i = strData.find(L"encoding"); i != std::wstring::npos; i = strData.find(L"encoding", i + 1)) {
        size_t j = i + 8;
        while (j < strData.size() && std::iswspace(strData[j]))
            ++j;
        if (j >= strData.size() || strData[j] != L'=')
            continue;
        ++j;
        while (j < strData.size() && std::iswspace(strData[j]))
            ++j;
        if (j >= strData.size() || (strData[j] != L'"' && strData[j] != L'\''))
            continue;
        const size_t nEnd = strData.find(strData[j], j + 1);
        if (nEnd == std::wstring::npos)
            return false;
        nStart = j + 1;
        nLength = nEnd - nStart;
        return true;
    }
    return false;
}

// Bytes that are UTF-8 by their own account: no byte-order mark but UTF-8's, and a
// declaration, if any, that names UTF-8 or no encoding.
bool IsUtf8Document(const BYTE* p, size_t n) {
    if (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) {
        p += 3;
        n -= 3;
    } else if (n >= 2 && (p[0] == 0xFE || p[0] == 0xFF || p[0] == 0 || p[1] == 0)) {
        return false;  // UTF-16 or UTF-32, with or without a mark
    }
    if (n < 6 || std::memcmp(p, "<?xml", 5) != 0 || !p[5] || !std::strchr(" \t\r\n", p[5]))
        return true;
    std::wstring strDeclaration;
    for (size_t i = 5; i + 1 < n && i < 512; ++i) {
        if (p[i] == '?' && p[i + 1] == '>') {
            size_t nStart = 0, nLength = 0;
            if (!FindEncoding(strDeclaration, nStart, nLength))
                return true;
            return ::CompareStringOrdinal(strDeclaration.c_str() + nStart, static_cast<int>(nLength), L"UTF-8", 5,
                                          TRUE) == CSTR_EQUAL;
        }
        if (p[i] >= 0x80)
            return false;
        strDeclaration += static_cast<wchar_t>(p[i]);
    }
    return false;
}

}  // namespace

CXmlDoc::CXmlDoc() {
    // S_FALSE (already joined on this thread) still needs its CoUninitialize.
    m_bComJoined = SUCCEEDED(::CoInitialize(nullptr));
}

CXmlDoc::~CXmlDoc() {
    m_pDoc.Release();
    if (m_bComJoined)
        ::CoUninitialize();
}

HRESULT CXmlDoc::Create() {
    HRESULT hr = ::CoCreateInstance(kClsidDomDocument, nullptr, CLSCTX_ALL, kIidXmlDomDocument,
                                    reinterpret_cast<void**>(&m_pDoc));
    if (FAILED(hr))
        return hr;
    m_pDoc->put_async(VARIANT_FALSE);
    m_pDoc->put_validateOnParse(VARIANT_FALSE);
    m_pDoc->put_resolveExternals(VARIANT_FALSE);
    CComPtr<IXMLDOMDocument2> pDoc2;
    if (SUCCEEDED(m_pDoc->QueryInterface(kIidXmlDomDocument2, reinterpret_cast<void**>(&pDoc2)))) {
        CBstr name(L"ProhibitDTD");
        // Older parsers lack the property; the two settings above still hold then.
        pDoc2->setProperty(name.Get(), CVariant::Bool(true).Get());
    }
    return S_OK;
}

bool CXmlDoc::Load(const char* pszFile) {
    // Given a file name or a stream, Wine's parser takes a time that grows with the square of the
    // file's size: 25 s for a 28 MB list. Bytes handed over at once are parsed in under a second;
    // that path reads them as UTF-8, so other encodings go by name.
    CVariant source = CVariant::FileBytes(pszFile);
    if (source.IsEmpty() || !IsUtf8Document(source.Bytes(), source.ByteCount()))
        source = CVariant::FileName(pszFile);
    VARIANT_BOOL bOk = VARIANT_FALSE;
    const HRESULT hr = m_pDoc->load(source.Get(), &bOk);
    return SUCCEEDED(hr) && bOk == VARIANT_TRUE;
}

HRESULT CXmlDoc::Save(const char* pszFile) {
    return ReplaceFileWith(pszFile, [this](const char* pszTemp) {
        const HRESULT hr = DeclareUtf8();
        return FAILED(hr) ? hr : m_pDoc->save(CVariant::FileName(pszTemp).Get());
    });
}

HRESULT CXmlDoc::DeclareUtf8() {
    const Node pFirst = FirstChild(Node(m_pDoc.Get()));
    DOMNodeType type = NODE_INVALID;
    if (!pFirst || FAILED(pFirst->get_nodeType(&type)) || type != NODE_PROCESSING_INSTRUCTION ||
        !IsNamed(pFirst, L"xml"))
        return S_OK;
    CComPtr<IXMLDOMProcessingInstruction> pDeclaration;
    CBstr data;
    if (FAILED(pFirst->QueryInterface(kIidXmlDomProcessingInstruction, reinterpret_cast<void**>(&pDeclaration))) ||
        FAILED(pDeclaration->get_data(&data)))
        return E_FAIL;
    std::wstring strData(data.Get() ? data.Get() : L"", ::SysStringLen(data.Get()));
    size_t nStart = 0, nLength = 0;
    if (!FindEncoding(strData, nStart, nLength) || strData.compare(nStart, nLength, L"UTF-8") == 0)
        return S_OK;
    strData.replace(nStart, nLength, L"UTF-8");
    // The declaration's data cannot be rewritten in place: a new one takes its place.
    CComPtr<IXMLDOMProcessingInstruction> pNew;
    CComPtr<IXMLDOMNode> pOld;
    CBstr target(L"xml"), newData(strData.c_str());
    HRESULT hr = m_pDoc->createProcessingInstruction(target.Get(), newData.Get(), &pNew);
    if (SUCCEEDED(hr))
        hr = m_pDoc->replaceChild(pNew.Get(), pFirst.Get(), &pOld);
    return hr;
}

CComPtr<IXMLDOMNode> CXmlDoc::Root() const {
    CComPtr<IXMLDOMElement> pRoot;
    if (m_pDoc->get_documentElement(&pRoot) != S_OK)
        return {};
    return CComPtr<IXMLDOMNode>(pRoot.Get());
}

CComPtr<IXMLDOMNode> CXmlDoc::CreateElement(const std::wstring& strName) {
    CBstr name(strName.c_str());
    CComPtr<IXMLDOMElement> pElement;
    if (FAILED(m_pDoc->createElement(name.Get(), &pElement)))
        return {};
    return CComPtr<IXMLDOMNode>(pElement.Get());
}

HRESULT CXmlDoc::SetRoot(const Node& pNode) {
    return Append(Node(m_pDoc.Get()), pNode);
}

CXmlDoc::Node CXmlDoc::FirstChild(const Node& pNode) {
    CComPtr<IXMLDOMNode> pChild;
    pNode->get_firstChild(&pChild);
    return pChild;
}

CXmlDoc::Node CXmlDoc::NextSibling(const Node& pNode) {
    CComPtr<IXMLDOMNode> pNext;
    pNode->get_nextSibling(&pNext);
    return pNext;
}

long CXmlDoc::CountChildren(const Node& pNode) {
    CComPtr<IXMLDOMNodeList> pChildren;
    long nLength = 0;
    if (SUCCEEDED(pNode->get_childNodes(&pChildren)) && pChildren)
        pChildren->get_length(&nLength);
    return nLength;
}

bool CXmlDoc::IsNamed(const Node& pNode, const wchar_t* pszName) {
    CBstr name;
    return SUCCEEDED(pNode->get_nodeName(&name)) && name.Equals(pszName);
}

CString CXmlDoc::Text(const Node& pNode) {
    CBstr text;
    if (FAILED(pNode->get_text(&text)))
        return CString();
    return text.ToGbk();
}

HRESULT CXmlDoc::SetText(const Node& pNode, const CString& strText) {
    CBstr text = CBstr::FromGbk(strText);
    if (!text.Get())
        return E_OUTOFMEMORY;
    return pNode->put_text(text.Get());
}

HRESULT CXmlDoc::Append(const Node& pParent, const Node& pChild) {
    CComPtr<IXMLDOMNode> pAdded;
    return pParent->appendChild(pChild.Get(), &pAdded);
}

HRESULT CXmlDoc::Remove(const Node& pParent, const Node& pChild) {
    CComPtr<IXMLDOMNode> pRemoved;
    return pParent->removeChild(pChild.Get(), &pRemoved);
}
