// One MSXML DOM document with COM joined for its lifetime. It knows XML and files, nothing of
// song lists: the store walks the tree through these calls.
#pragma once

#include <windows.h>
#include <msxml2.h>

#include <string>

#include "framework/CStringW.h"
#include "framework/Holders.h"

class CXmlDoc {
public:
    using Node = CComPtr<IXMLDOMNode>;

    CXmlDoc() = default;
    CXmlDoc(const CXmlDoc&) = delete;
    CXmlDoc& operator=(const CXmlDoc&) = delete;

    // Makes the empty document. It never resolves external entities or reads a DTD, so a
    // crafted file cannot pull other files into the tree; a parser that cannot be told so fails.
    HRESULT Create();
    // True when the whole file was read and parsed.
    bool Load(const char* pszFile);
    // Writes the tree as UTF-8 to a temporary file beside pszFile, then moves it over pszFile: a
    // crash mid-save leaves the old file or the new one. The temporary file is gone on failure.
    // A declaration read from the file is kept, saying UTF-8 whatever it said before.
    HRESULT Save(const char* pszFile);

    // The document element, or empty.
    CComPtr<IXMLDOMNode> Root() const;
    CComPtr<IXMLDOMNode> CreateElement(const std::wstring& strName);
    // Makes pNode the document element.
    HRESULT SetRoot(const Node& pNode);

    static Node FirstChild(const Node& pNode);
    static Node NextSibling(const Node& pNode);
    static long CountChildren(const Node& pNode);
    static bool IsNamed(const Node& pNode, const wchar_t* pszName);
    static CStringW Text(const Node& pNode);
    static HRESULT SetText(const Node& pNode, const CStringW& strText);
    static HRESULT Append(const Node& pParent, const Node& pChild);
    static HRESULT Remove(const Node& pParent, const Node& pChild);

private:
    // The DOM writes UTF-8 whatever the declaration names: one kept from a UTF-16 or GBK file
    // must name UTF-8 too, or the next load misreads every list.
    HRESULT DeclareUtf8();

    CComInit m_com;  // outlives the document
    CComPtr<IXMLDOMDocument> m_pDoc;
};
