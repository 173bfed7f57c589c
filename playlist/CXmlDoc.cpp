#include "playlist/CXmlDoc.h"

#include <cstring>
#include <cwctype>
#include <string_view>
#include <utility>

#include "playlist/FileReplace.h"
#include "playlist/TextCodec.h"

namespace {

// The version-independent DOMDocument and its interfaces, spelled out: the SDK's
// CLSID_DOMDocument names the older class.
const CLSID kClsidDomDocument = {0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
const IID kIidXmlDomDocument = {0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
const IID kIidXmlDomDocument2 = {0x2933BF95, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
const IID kIidXmlDomProcessingInstruction = {
    0x2933BF89, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

CVariant FileNameVariant(const char* pszFile) {
    CVariant v;
    const std::wstring wide = WideFromGbk(pszFile);
    VARIANT* p = &v;
    // Null when memory runs out; the DOM then refuses the call.
    p->bstrVal = ::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    p->vt = VT_BSTR;
    return v;
}

CVariant BoolVariant(bool b) {
    CVariant v;
    VARIANT* p = &v;
    p->vt = VT_BOOL;
    p->boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

// The file's bytes, or an empty variant when it cannot be read whole.
CVariant FileBytesVariant(const char* pszFile) {
    const CFileHandle file(::CreateFileA(pszFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size = {};
    if (!file || !::GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0 || size.QuadPart >= 0x40000000)
        return CVariant();
    const DWORD nSize = static_cast<DWORD>(size.QuadPart);
    CVariant v;
    VARIANT* p = &v;
    p->parray = ::SafeArrayCreateVector(VT_UI1, 0, nSize);
    if (!p->parray)
        return v;
    p->vt = VT_ARRAY | VT_UI1;  // the variant owns the array from here
    void* pData = nullptr;
    bool bWhole = false;
    if (SUCCEEDED(::SafeArrayAccessData(p->parray, &pData))) {
        DWORD nRead = 0;
        bWhole = ::ReadFile(file.Get(), pData, nSize, &nRead, nullptr) && nRead == nSize;
        ::SafeArrayUnaccessData(p->parray);
    }
    return bWhole ? std::move(v) : CVariant();
}

// The bytes of a FileBytesVariant.
const BYTE* BytesOf(const CVariant& v) {
    return static_cast<const BYTE*>(v.Get().parray->pvData);
}

size_t ByteCountOf(const CVariant& v) {
    return v.Get().parray->rgsabound[0].cElements;
}

CBstr MakeBstr(const std::wstring& str) {
    return CBstr(::SysAllocStringLen(str.data(), static_cast<UINT>(str.size())));
}

std::wstring_view TextOf(const CBstr& bstr) {
    return std::wstring_view(bstr.Get() ? bstr.Get() : L"", ::SysStringLen(bstr.Get()));
}

// What keeps a crafted file from pulling other files in: no external entities, no DTD, no
// validation against one. A parser that refuses any of them gets no file to read.
HRESULT ForbidOutsideReferences(IXMLDOMDocument* pDoc) {
    HRESULT hr = pDoc->put_async(VARIANT_FALSE);
    if (SUCCEEDED(hr))
        hr = pDoc->put_validateOnParse(VARIANT_FALSE);
    if (SUCCEEDED(hr))
        hr = pDoc->put_resolveExternals(VARIANT_FALSE);
    CComPtr<IXMLDOMDocument2> pDoc2;
    if (SUCCEEDED(hr))
        hr = pDoc->QueryInterface(kIidXmlDomDocument2, reinterpret_cast<void**>(&pDoc2));
    if (SUCCEEDED(hr))
        hr = pDoc2->setProperty(MakeBstr(L"ProhibitDTD").Get(), BoolVariant(true).Get());
    return hr;
}

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

HRESULT CXmlDoc::Create() {
    HRESULT hr = ::CoCreateInstance(kClsidDomDocument, nullptr, CLSCTX_ALL, kIidXmlDomDocument,
                                    reinterpret_cast<void**>(&m_pDoc));
    if (SUCCEEDED(hr))
        hr = ForbidOutsideReferences(m_pDoc.Get());
    if (FAILED(hr))
        m_pDoc.Release();
    return hr;
}

bool CXmlDoc::Load(const char* pszFile) {
    // Given a file name or a stream, Wine's parser takes a time that grows with the square of the
    // file's size: 25 s for a 28 MB list. Bytes handed over at once are parsed in under a second;
    // that path reads them as UTF-8, so other encodings go by name.
    CVariant source = FileBytesVariant(pszFile);
    if (source.IsEmpty() || !IsUtf8Document(BytesOf(source), ByteCountOf(source)))
        source = FileNameVariant(pszFile);
    VARIANT_BOOL bOk = VARIANT_FALSE;
    const HRESULT hr = m_pDoc->load(source.Get(), &bOk);
    return SUCCEEDED(hr) && bOk == VARIANT_TRUE;
}

HRESULT CXmlDoc::Save(const char* pszFile) {
    return ReplaceFileWith(pszFile, [this](const char* pszTemp) {
        const HRESULT hr = DeclareUtf8();
        return FAILED(hr) ? hr : m_pDoc->save(FileNameVariant(pszTemp).Get());
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
    std::wstring strData(TextOf(data));
    size_t nStart = 0, nLength = 0;
    if (!FindEncoding(strData, nStart, nLength) || strData.compare(nStart, nLength, L"UTF-8") == 0)
        return S_OK;
    strData.replace(nStart, nLength, L"UTF-8");
    // The declaration's data cannot be rewritten in place: a new one takes its place.
    CComPtr<IXMLDOMProcessingInstruction> pNew;
    CComPtr<IXMLDOMNode> pOld;
    HRESULT hr = m_pDoc->createProcessingInstruction(MakeBstr(L"xml").Get(), MakeBstr(strData).Get(), &pNew);
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
    CComPtr<IXMLDOMElement> pElement;
    if (FAILED(m_pDoc->createElement(MakeBstr(strName).Get(), &pElement)))
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
    return SUCCEEDED(pNode->get_nodeName(&name)) && TextOf(name) == pszName;
}

CStringW CXmlDoc::Text(const Node& pNode) {
    CBstr text;
    if (FAILED(pNode->get_text(&text)))
        return CStringW();
    return CStringW(TextOf(text));
}

HRESULT CXmlDoc::SetText(const Node& pNode, const CStringW& strText) {
    const CBstr text = MakeBstr(strText.Str());
    if (!text)
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
