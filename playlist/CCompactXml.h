// MySongList.xml in the compact form the store itself writes, read and changed as bytes: UTF-8,
// an optional plain declaration, the root, its lists, and in each list elements that hold
// nothing but text. Under Wine the DOM takes a second and a 100 MB tree to load a list of
// 200,000 songs; this takes a read and a scan, and saves by splicing.
//
// It answers the store's questions exactly as the DOM would for the same file; a file outside
// the form (another encoding, indentation, attributes, comments, text the DOM would trim, ...)
// is refused by Load and left to the DOM, whose next save writes the compact form.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "framework/CStringW.h"
#include "playlist/CFileView.h"

class CCompactXml {
public:
    // An element of the file, or one made by CreateElement; empty when there is none.
    struct Node {
        size_t nOffset = std::string::npos;  // of its '<' in the file
        int nDepth = 0;                      // 0 the root, 1 a list, 2 an element of a list
        int nNew = -1;                       // index of an element made here
        size_t nParent = std::string::npos;  // offset of the element it lies in
        explicit operator bool() const { return nOffset != std::string::npos || nNew >= 0; }
    };

    // True when the whole file was read and is in the compact form.
    bool Load(const char* pszFile);
    // True when bytes are in the compact form; Load's test.
    static bool IsCompact(std::string_view bytes);

    Node Root() const;
    Node FirstChild(Node node) const;
    Node NextSibling(Node node);
    long CountChildren(Node node);
    bool IsNamed(Node node, const wchar_t* pszName);
    // The text of an element of a list.
    CStringW Text(Node node) const;

    Node CreateElement(const std::wstring& strName);
    // On an element of a list or one made here.
    HRESULT SetText(Node node, const CStringW& strText);
    // A made element, appended to the root, a list or another made element.
    HRESULT Append(Node parent, Node child);
    // An element of a list.
    HRESULT Remove(Node parent, Node child);
    // The file with the changes, replaced in one step. Nothing can be read afterwards.
    HRESULT Save(const char* pszFile);

    // True when the DOM writes this text exactly as Save does: everything but control characters.
    static bool CanWrite(const CStringW& strText);

private:
    struct Made {
        std::string name;  // UTF-8
        std::string text;  // UTF-8, unescaped
        std::vector<int> children;
    };
    struct Change {
        size_t nOffset;
        size_t nErase;
        std::string insert;
        bool operator<(const Change& other) const { return nOffset < other.nOffset; }
    };

    size_t OpenEnd(size_t nOffset) const;
    bool IsSelfClosing(size_t nOffset) const;
    std::string NameAt(size_t nOffset) const;
    // Offset just past the element.
    size_t EndOf(Node node);
    // Offset of the "</" of an element that has children or text.
    size_t CloseOf(Node node);
    std::string Serialise(int nMade) const;
    const std::string& Utf8Name(const wchar_t* pszName);

    CFileView m_view;
    std::string_view m_bytes;
    std::vector<Made> m_made;
    std::vector<Change> m_changes;
    struct Appended {
        Node parent;
        std::vector<int> children;
    };
    // Made elements appended to elements of the file, by the parent's offset.
    std::map<size_t, Appended> m_appended;
    // The "</" of lists whose children were walked, by the list's offset.
    std::map<size_t, size_t> m_closes;
    std::map<const wchar_t*, std::string> m_names;
    // Text's buffer, kept from song to song of a long list.
    mutable std::string m_utf8;
};
