#include "playlist/CSongListStore.h"

#include <algorithm>
#include <string>

#include "playlist/CCompactXml.h"
#include "playlist/CXmlDoc.h"
#include "playlist/FileReplace.h"
#include "playlist/TextCodec.h"

namespace {

const wchar_t kRootTag[] = L"歌曲列表";
const wchar_t kListTagPrefix[] = L"列表";
const wchar_t kNameTag[] = L"列表名字";
const wchar_t kSongTag[] = L"歌曲路径";
const char kCaption[] = "提示";

void ShowMessageBox(HWND hOwner, const char* pszText, const char* pszCaption) {
    ::MessageBoxA(hOwner, pszText, pszCaption, MB_OK);
}

CSongListStore::MessageFn g_pfnMessage = ShowMessageBox;

// List names are GBK in the window, and compared as the window shows them.
template <typename Doc, typename Node>
CString NameText(Doc& doc, const Node& node) {
    return GbkFromWide(doc.Text(node).Str());
}

template <typename Doc, typename Node>
bool IsNameWithText(Doc& doc, const Node& node, const CString& strText) {
    return doc.IsNamed(node, kNameTag) && NameText(doc, node) == strText;
}

CStringW WideName(const CString& strName) {
    return CStringW(WideFromGbk(strName));
}

// The rules of the six operations, written once for the DOM and for the compact file.

template <typename Doc, typename Node>
void ReadLists(Doc& doc, const Node& root, std::vector<CString>& names, std::vector<CStringW>& songs) {
    bool bFirst = true;
    for (Node pList = doc.FirstChild(root); pList; pList = doc.NextSibling(pList), bFirst = false) {
        for (Node pChild = doc.FirstChild(pList); pChild; pChild = doc.NextSibling(pChild)) {
            if (doc.IsNamed(pChild, kNameTag))
                names.push_back(NameText(doc, pChild));
            else if (bFirst && doc.IsNamed(pChild, kSongTag))
                songs.push_back(doc.Text(pChild));
        }
    }
}

template <typename Doc, typename Node>
void ReadSongs(Doc& doc, const Node& root, const CString& strList, std::vector<CStringW>& songs) {
    for (Node pList = doc.FirstChild(root); pList; pList = doc.NextSibling(pList)) {
        bool bMatched = false;
        for (Node pChild = doc.FirstChild(pList); pChild; pChild = doc.NextSibling(pChild)) {
            if (doc.IsNamed(pChild, kNameTag)) {
                if (NameText(doc, pChild) == strList)
                    bMatched = true;
            } else if (bMatched) {
                songs.push_back(doc.Text(pChild));
            }
        }
        if (bMatched)
            break;
    }
}

template <typename Doc, typename Node>
HRESULT AppendList(Doc& doc, const Node& root, long nNumber, const CString& strName) {
    const Node pList = doc.CreateElement(kListTagPrefix + std::to_wstring(nNumber));
    const Node pName = doc.CreateElement(kNameTag);
    if (!pList || !pName)
        return E_FAIL;
    HRESULT hr = doc.Append(root, pList);
    if (SUCCEEDED(hr))
        hr = doc.SetText(pName, WideName(strName));
    if (SUCCEEDED(hr))
        hr = doc.Append(pList, pName);
    return hr;
}

template <typename Doc, typename Node>
HRESULT RenameLists(Doc& doc, const Node& root, const CString& strOld, const CString& strNew) {
    const CStringW strNewText = WideName(strNew);
    for (Node pList = doc.FirstChild(root); pList; pList = doc.NextSibling(pList)) {
        for (Node pChild = doc.FirstChild(pList); pChild; pChild = doc.NextSibling(pChild)) {
            if (IsNameWithText(doc, pChild, strOld)) {
                const HRESULT hr = doc.SetText(pChild, strNewText);
                if (FAILED(hr))
                    return hr;
                break;
            }
        }
    }
    return S_OK;
}

template <typename Doc, typename Node>
HRESULT AppendSongs(Doc& doc, const Node& root, const std::vector<CStringW>& paths, const CString& strList) {
    // Only a list that starts with its name can take songs.
    Node pTarget;
    for (Node pList = doc.FirstChild(root); pList && !pTarget; pList = doc.NextSibling(pList)) {
        const Node pFirst = doc.FirstChild(pList);
        if (pFirst && IsNameWithText(doc, pFirst, strList))
            pTarget = pList;
    }
    if (!pTarget)
        return S_OK;
    for (const CStringW& strPath : paths) {
        const Node pSong = doc.CreateElement(kSongTag);
        HRESULT hr = pSong ? doc.SetText(pSong, strPath) : E_FAIL;
        if (SUCCEEDED(hr))
            hr = doc.Append(pTarget, pSong);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

template <typename Doc, typename Node>
HRESULT RemoveSongs(Doc& doc, const Node& root, const CStringW& strPath, const CString& strList) {
    for (Node pList = doc.FirstChild(root); pList; pList = doc.NextSibling(pList)) {
        bool bMatched = false;
        // The next sibling is taken before a removal, so every child is seen exactly once.
        Node pNext;
        for (Node pChild = doc.FirstChild(pList); pChild; pChild = pNext) {
            pNext = doc.NextSibling(pChild);
            if (doc.IsNamed(pChild, kNameTag)) {
                if (NameText(doc, pChild) == strList)
                    bMatched = true;
            } else if (bMatched && doc.Text(pChild) == strPath) {
                const HRESULT hr = doc.Remove(pList, pChild);
                if (FAILED(hr))
                    return hr;
            }
        }
        if (bMatched)
            break;
    }
    return S_OK;
}

// Renames the file out of the way under the first free name of .bad, .bad1, .bad2, ...
// Returns false when it is there but could not be moved; strKept is empty when it was missing.
bool KeepUnreadableFile(const char* pszFile, CString& strKept) {
    strKept.Empty();
    for (int i = 0; i < 10000; ++i) {
        CString strTarget = CString(pszFile) + ".bad";
        if (i > 0) {
            CString strNumber;
            strNumber.Format("%d", i);
            strTarget += strNumber;
        }
        if (::MoveFileA(pszFile, strTarget)) {
            strKept = strTarget;
            return true;
        }
        const DWORD dwError = ::GetLastError();
        if (dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND)
            return true;
        if (dwError != ERROR_ALREADY_EXISTS && dwError != ERROR_FILE_EXISTS)
            return false;
    }
    return false;
}

}  // namespace

const char CSongListStore::kFileName[] = "MySongList.xml";
const char CSongListStore::kDefaultList[] = "默认";

CSongListStore::MessageFn CSongListStore::SetMessageFn(MessageFn pfn) {
    const MessageFn pfnOld = g_pfnMessage;
    g_pfnMessage = pfn ? pfn : ShowMessageBox;
    return pfnOld;
}

void CSongListStore::Message(const char* pszText) const {
    g_pfnMessage(m_hOwner, pszText, kCaption);
}

bool CSongListStore::Create(CXmlDoc& doc) const {
    if (FAILED(doc.Create())) {
        Message("创建文档对象失败！");
        return false;
    }
    return true;
}

bool CSongListStore::Open(CXmlDoc& doc, CComPtr<IXMLDOMNode>& pRoot) const {
    if (!Create(doc))
        return false;
    // A file removed or damaged while the player runs is left alone, not overwritten.
    if (doc.Load(kFileName))
        pRoot = doc.Root();
    if (!pRoot) {
        Message("获取root失败！");
        return false;
    }
    return true;
}

template <typename Doc>
bool CSongListStore::Save(Doc& doc) const {
    if (FAILED(doc.Save(kFileName))) {
        Message("保存歌曲列表失败，这次的修改没有存入 MySongList.xml！");
        return false;
    }
    return true;
}

template <typename Edit>
bool CSongListStore::Change(bool bCompactWrites, const char* pszFailure, Edit edit) const {
    // The file as this store writes it is changed in place; anything else goes through the DOM.
    CCompactXml compact;
    if (bCompactWrites && compact.Load(kFileName)) {
        if (FAILED(edit(compact, compact.Root()))) {
            Message(pszFailure);
            return false;
        }
        return Save(compact);
    }
    CXmlDoc doc;
    CComPtr<IXMLDOMNode> pRoot;
    if (!Open(doc, pRoot))
        return false;
    if (FAILED(edit(doc, pRoot))) {
        Message(pszFailure);
        return false;
    }
    return Save(doc);
}

bool CSongListStore::LoadAll(std::vector<CString>& names, std::vector<CStringW>& songs) {
    names.clear();
    songs.clear();
    // What a save killed before its rename left behind; the file itself is whole.
    ::DeleteFileA(TempFileFor(kFileName).c_str());
    CCompactXml compact;
    if (compact.Load(kFileName)) {
        ReadLists(compact, compact.Root(), names, songs);
        return true;
    }
    CXmlDoc doc;
    if (!Create(doc))
        return false;
    if (!doc.Load(kFileName))
        return StartFresh(doc, names);
    const CComPtr<IXMLDOMNode> pRoot = doc.Root();
    if (pRoot)
        ReadLists(doc, pRoot, names, songs);
    return true;
}

bool CSongListStore::StartFresh(CXmlDoc& doc, std::vector<CString>& names) const {
    CString strKept;
    if (!KeepUnreadableFile(kFileName, strKept)) {
        Message("MySongList.xml 无法读取，也无法改名保留；为了不丢失其中的歌曲列表，没有新建列表。");
        return false;
    }
    const CComPtr<IXMLDOMNode> pRoot = doc.CreateElement(kRootTag);
    const CComPtr<IXMLDOMNode> pList = doc.CreateElement(std::wstring(kListTagPrefix) + L"1");
    const CComPtr<IXMLDOMNode> pName = doc.CreateElement(kNameTag);
    bool bCreated =
        pRoot && pList && pName && SUCCEEDED(doc.SetRoot(pRoot)) && SUCCEEDED(CXmlDoc::Append(pRoot, pList)) &&
        SUCCEEDED(CXmlDoc::SetText(pName, WideName(kDefaultList))) && SUCCEEDED(CXmlDoc::Append(pList, pName));
    if (!bCreated)
        Message("新建歌曲列表失败！");
    else
        bCreated = Save(doc);
    if (!strKept.IsEmpty()) {
        Message("MySongList.xml 无法读取，已改名保留为 " + strKept + (bCreated ? "，并新建了歌曲列表。" : "。"));
    }
    if (bCreated)
        names.push_back(kDefaultList);
    return bCreated;
}

bool CSongListStore::ListSongs(const CString& strList, std::vector<CStringW>& songs) {
    songs.clear();
    CCompactXml compact;
    if (compact.Load(kFileName)) {
        ReadSongs(compact, compact.Root(), strList, songs);
        return true;
    }
    CXmlDoc doc;
    CComPtr<IXMLDOMNode> pRoot;
    if (!Open(doc, pRoot))
        return false;
    ReadSongs(doc, pRoot, strList, songs);
    return true;
}

CString CSongListStore::AddList() {
    CString strName;
    const bool bDone = Change(true, "新建列表失败！", [&strName](auto& doc, const auto& root) {
        // Lists are never removed, so the child count numbers them without gaps.
        const long nNumber = doc.CountChildren(root) + 1;
        strName.Format("新建列表%ld", nNumber);
        return AppendList(doc, root, nNumber, strName);
    });
    return bDone ? strName : CString();
}

bool CSongListStore::RenameList(const CString& strOld, const CString& strNew) {
    return Change(CCompactXml::CanWrite(WideName(strNew)), "重命名列表失败！",
                  [&](auto& doc, const auto& root) { return RenameLists(doc, root, strOld, strNew); });
}

bool CSongListStore::AddSong(const CStringW& strPath, const CString& strList) {
    return AddSongs(std::vector<CStringW>(1, strPath), strList);
}

bool CSongListStore::AddSongs(const std::vector<CStringW>& paths, const CString& strList) {
    if (paths.empty())
        return true;
    const bool bCompactWrites = std::all_of(paths.begin(), paths.end(), CCompactXml::CanWrite);
    return Change(bCompactWrites, "添加歌曲失败！",
                  [&](auto& doc, const auto& root) { return AppendSongs(doc, root, paths, strList); });
}

bool CSongListStore::DeleteSong(const CStringW& strPath, const CString& strList) {
    return Change(true, "删除歌曲失败！",
                  [&](auto& doc, const auto& root) { return RemoveSongs(doc, root, strPath, strList); });
}
