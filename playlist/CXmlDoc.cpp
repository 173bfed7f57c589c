#include "playlist/CXmlDoc.h"

#include "playlist/CBstr.h"

namespace {

// The version-independent DOMDocument and its interfaces, spelled out: the SDK's
// CLSID_DOMDocument names the older class.
const CLSID kClsidDomDocument = {0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
const IID kIidXmlDomDocument = {0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
const IID kIidXmlDomDocument2 = {0x2933BF95, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

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
    CVariant(CVariant&& other) noexcept : m_v(other.m_v) { other.m_v.vt = VT_EMPTY; }
    const VARIANT& Get() const { return m_v; }

private:
    VARIANT m_v;
};

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
    VARIANT_BOOL bOk = VARIANT_FALSE;
    const HRESULT hr = m_pDoc->load(CVariant::FileName(pszFile).Get(), &bOk);
    return SUCCEEDED(hr) && bOk == VARIANT_TRUE;
}

HRESULT CXmlDoc::Save(const char* pszFile) {
    // A read-only list stays as it is, even where a move could replace it (Wine run as root).
    const DWORD dwAttributes = ::GetFileAttributesA(pszFile);
    if (dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_READONLY))
        return HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);
    const std::string strTemp = std::string(pszFile) + ".tmp";
    HRESULT hr = m_pDoc->save(CVariant::FileName(strTemp.c_str()).Get());
    if (SUCCEEDED(hr)) {
        // The data must be on disk before the name points at it.
        HANDLE hFile = ::CreateFileA(strTemp.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (hFile != INVALID_HANDLE_VALUE) {
            ::FlushFileBuffers(hFile);
            ::CloseHandle(hFile);
        }
        if (!::MoveFileExA(strTemp.c_str(), pszFile, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            hr = HRESULT_FROM_WIN32(::GetLastError());
    }
    if (FAILED(hr))
        ::DeleteFileA(strTemp.c_str());
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

HRESULT CXmlDoc::SetRoot(IXMLDOMNode* pNode) {
    return Append(m_pDoc.Get(), pNode);
}

CComPtr<IXMLDOMNode> CXmlDoc::FirstChild(IXMLDOMNode* pNode) {
    CComPtr<IXMLDOMNode> pChild;
    pNode->get_firstChild(&pChild);
    return pChild;
}

CComPtr<IXMLDOMNode> CXmlDoc::NextSibling(IXMLDOMNode* pNode) {
    CComPtr<IXMLDOMNode> pNext;
    pNode->get_nextSibling(&pNext);
    return pNext;
}

long CXmlDoc::CountChildren(IXMLDOMNode* pNode) {
    CComPtr<IXMLDOMNodeList> pChildren;
    long nLength = 0;
    if (SUCCEEDED(pNode->get_childNodes(&pChildren)) && pChildren)
        pChildren->get_length(&nLength);
    return nLength;
}

bool CXmlDoc::IsNamed(IXMLDOMNode* pNode, const wchar_t* pszName) {
    CBstr name;
    return SUCCEEDED(pNode->get_nodeName(&name)) && name.Equals(pszName);
}

CString CXmlDoc::Text(IXMLDOMNode* pNode) {
    CBstr text;
    if (FAILED(pNode->get_text(&text)))
        return CString();
    return text.ToGbk();
}

HRESULT CXmlDoc::SetText(IXMLDOMNode* pNode, const CString& strText) {
    CBstr text = CBstr::FromGbk(strText);
    if (!text.Get())
        return E_OUTOFMEMORY;
    return pNode->put_text(text.Get());
}

HRESULT CXmlDoc::Append(IXMLDOMNode* pParent, IXMLDOMNode* pChild) {
    CComPtr<IXMLDOMNode> pAdded;
    return pParent->appendChild(pChild, &pAdded);
}

HRESULT CXmlDoc::Remove(IXMLDOMNode* pParent, IXMLDOMNode* pChild) {
    CComPtr<IXMLDOMNode> pRemoved;
    return pParent->removeChild(pChild, &pRemoved);
}
