// The song lists in MySongList.xml in the current directory. Holds nothing between calls: every
// operation reads the whole file, and every change saves it whole. The file as the store writes
// it is read and changed as bytes (CCompactXml); any other goes through the MSXML DOM, by the
// same rules. Song paths are UTF-16, kept whole in every script; list names are GBK, as the
// window shows them. Lists are found by their display name; where names repeat, the first list
// in the file is meant (renames reach all).
// Failures are reported to the user in message boxes owned by hOwner; the result says whether
// the operation went through, so the caller knows what to show.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/CString.h"
#include "framework/CStringW.h"
#include "framework/Holders.h"

struct IXMLDOMNode;
class CXmlDoc;

class CSongListStore {
public:
    explicit CSongListStore(HWND hOwner) : m_hOwner(hOwner) {}

    // The names of all lists in file order and the songs of the first list. A missing file is
    // created holding the one list "默认"; a file that cannot be loaded is first kept beside it
    // as MySongList.xml.bad (or .bad1, .bad2, ...) and the user is told its name. Run once at
    // start: it also removes the temporary file of a save that was killed.
    bool LoadAll(std::vector<CString>& names, std::vector<CStringW>& songs);
    // The songs of the named list, in file order.
    bool ListSongs(const CString& strList, std::vector<CStringW>& songs);
    // Appends a list and returns its display name; empty when nothing was stored.
    CString AddList();
    bool RenameList(const CString& strOld, const CString& strNew);
    bool AddSong(const CStringW& strPath, const CString& strList);
    // Writes exactly what AddSong for each path in turn would write, loading and saving once.
    bool AddSongs(const std::vector<CStringW>& paths, const CString& strList);
    // Removes every song of the named list with that path.
    bool DeleteSong(const CStringW& strPath, const CString& strList);

    // Every message box of the store goes through this function; tests put a recorder here.
    using MessageFn = void (*)(HWND hOwner, const char* pszText, const char* pszCaption);
    static MessageFn SetMessageFn(MessageFn pfn);

    static const char kFileName[];
    // The list a fresh file holds; it keeps its name.
    static const char kDefaultList[];

private:
    // Creates the document; reports a failure.
    bool Create(CXmlDoc& doc) const;
    // Creates the document, loads the file and finds the root; reports a failure.
    bool Open(CXmlDoc& doc, CComPtr<IXMLDOMNode>& pRoot) const;
    template <typename Doc>
    bool Save(Doc& doc) const;
    // Runs edit(doc, root) on the file and saves it: on the compact file when it is one and
    // bCompactWrites, else on the DOM. A failed edit is reported with pszFailure.
    template <typename Edit>
    bool Change(bool bCompactWrites, const char* pszFailure, Edit edit) const;
    // Builds and saves the one-list document after keeping whatever file was there.
    bool StartFresh(CXmlDoc& doc, std::vector<CString>& names) const;
    void Message(const char* pszText) const;

    HWND m_hOwner;
};
