#include "playlist/CSongListStore.h"

#include <string>

#include "playlist/CXmlDoc.h"

namespace {

const wchar_t kRootTag[] = L"歌曲列表";
const wchar_t kListTagPrefix[] = L"列表";
const wchar_t kNameTag[] = L"列表名字";
const wchar_t kSongTag[] = L"歌曲路径";
const char kDefaultList[] = "默认";
const char kCaption[] = "提示";

void ShowMessageBox(HWND hOwner, const char* pszText, const char* pszCaption) {
    ::MessageBoxA(hOwner, pszText, pszCaption, MB_OK);
}

CSongListStore::MessageFn g_pfnMessage = ShowMessageBox;

bool IsNameWithText(IXMLDOMNode* pNode, const CString& strText) {
    return CXmlDoc::IsNamed(pNode, kNameTag) && CXmlDoc::Text(pNode) == strText;
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

bool CSongListStore::Save(CXmlDoc& doc) const {
    if (FAILED(doc.Save(kFileName))) {
        Message("保存歌曲列表失败，这次的修改没有存入 MySongList.xml！");
        return false;
    }
    return true;
}

bool CSongListStore::LoadAll(std::vector<CString>& names, std::vector<CString>& songs) {
    names.clear();
    songs.clear();
    // What a save killed before its rename left behind; the file itself is whole.
    ::DeleteFileA(CXmlDoc::TempFileFor(kFileName).c_str());
    CXmlDoc doc;
    if (!Create(doc))
        return false;
    if (!doc.Load(kFileName))
        return StartFresh(doc, names);
    const CComPtr<IXMLDOMNode> pRoot = doc.Root();
    bool bFirst = true;
    for (CComPtr<IXMLDOMNode> pList = pRoot ? CXmlDoc::FirstChild(pRoot.Get()) : CComPtr<IXMLDOMNode>(); pList;
         pList = CXmlDoc::NextSibling(pList.Get()), bFirst = false) {
        for (CComPtr<IXMLDOMNode> pChild = CXmlDoc::FirstChild(pList.Get()); pChild;
             pChild = CXmlDoc::NextSibling(pChild.Get())) {
            if (CXmlDoc::IsNamed(pChild.Get(), kNameTag))
                names.push_back(CXmlDoc::Text(pChild.Get()));
            else if (bFirst && CXmlDoc::IsNamed(pChild.Get(), kSongTag))
                songs.push_back(CXmlDoc::Text(pChild.Get()));
        }
    }
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
    bool bCreated = pRoot && pList && pName && SUCCEEDED(doc.SetRoot(pRoot.Get())) &&
                    SUCCEEDED(CXmlDoc::Append(pRoot.Get(), pList.Get())) &&
                    SUCCEEDED(CXmlDoc::SetText(pName.Get(), kDefaultList)) &&
                    SUCCEEDED(CXmlDoc::Append(pList.Get(), pName.Get()));
    if (!bCreated)
        Message("新建歌曲列表失败！");
    else
        bCreated = Save(doc);
    if (!strKept.IsEmpty()) {
        Message("MySongList.xml 无法读取，已改名保留为 " + strKept +
                (bCreated ? "，并新建了歌曲列表。" : "。"));
    }
    if (bCreated)
        names.push_back(kDefaultList);
    return bCreated;
}

bool CSongListStore::ListSongs(const CString& strList, std::vector<CString>& songs) {
    songs.clear();
    CXmlDoc doc;
    CComPtr<IXMLDOMNode> pRoot;
    if (!Open(doc, pRoot))
        return false;
    for (CComPtr<IXMLDOMNode> pList = CXmlDoc::FirstChild(pRoot.Get()); pList;
         pList = CXmlDoc::NextSibling(pList.Get())) {
        bool bMatched = false;
        for (CComPtr<IXMLDOMNode> pChild = CXmlDoc::FirstChild(pList.Get()); pChild;
             pChild = CXmlDoc::NextSibling(pChild.Get())) {
            if (CXmlDoc::IsNamed(pChild.Get(), kNameTag)) {
                if (CXmlDoc::Text(pChild.Get()) == strList)
                    bMatched = true;
            } else if (bMatched) {
                songs.push_back(CXmlDoc::Text(pChild.Get()));
            }
        }
        if (bMatched)
            break;
    }
    return true;
}

CString CSongListStore::AddList() {
    CXmlDoc doc;
    CComPtr<IXMLDOMNode> pRoot;
    if (!Open(doc, pRoot))
        return CString();
    // Lists are never removed, so the child count numbers them without gaps.
    const long nNumber = CXmlDoc::CountChildren(pRoot.Get()) + 1;
    CString strName;
    strName.Format("新建列表%ld", nNumber);
    const CComPtr<IXMLDOMNode> pList = doc.CreateElement(kListTagPrefix + std::to_wstring(nNumber));
    const CComPtr<IXMLDOMNode> pName = doc.CreateElement(kNameTag);
    if (!pList || !pName || FAILED(CXmlDoc::Append(pRoot.Get(), pList.Get())) ||
        FAILED(CXmlDoc::SetText(pName.Get(), strName)) || FAILED(CXmlDoc::Append(pList.Get(), pName.Get()))) {
        Message("新建列表失败！");
        return CString();
    }
    return Save(doc) ? strName : CString();
}

bool CSongListStore::RenameList(const CString& strOld, const CString& strNew) {
    CXmlDoc doc;
    CComPtr<IXMLDOMNode> pRoot;
    if (!Open(doc, pRoot))
        return false;
    for (CComPtr<IXMLDOMNode> pList = CXmlDoc::FirstChild(pRoot.Get()); pList;
         pList = CXmlDoc::NextSibling(pList.Get())) {
        for (CComPtr<IXMLDOMNode> pChild = CXmlDoc::FirstChild(pList.Get()); pChild;
             pChild = CXmlDoc::NextSibling(pChild.Get())) {
            if (IsNameWithText(pChild.Get(), strOld)) {
                if (FAILED(CXmlDoc::SetText(pChild.Get(), strNew))) {
                    Message("重命名列表失败！");
                    return false;
                }
                break;
            }
        }
    }
    return Save(doc);
}

bool CSongListStore::AddSong(const CString& strPath, const CString& strList) {
    return AddSongs(std::vector<CString>(1, strPath), strList);
}

bool CSongListStore::AddSongs(const std::vector<CString>& paths, const CString& strList) {
    if (paths.empty())
        return true;
    CXmlDoc doc;
    CComPtr<IXMLDOMNode> pRoot;
    if (!Open(doc, pRoot))
        return false;
    // Only a list that starts with its name can take songs.
    CComPtr<IXMLDOMNode> pTarget;
    for (CComPtr<IXMLDOMNode> pList = CXmlDoc::FirstChild(pRoot.Get()); pList && !pTarget;
         pList = CXmlDoc::NextSibling(pList.Get())) {
        const CComPtr<IXMLDOMNode> pFirst = CXmlDoc::FirstChild(pList.Get());
        if (pFirst && IsNameWithText(pFirst.Get(), strList))
            pTarget = pList;
    }
    if (pTarget) {
        for (const CString& strPath : paths) {
            const CComPtr<IXMLDOMNode> pSong = doc.CreateElement(kSongTag);
            if (!pSong || FAILED(CXmlDoc::SetText(pSong.Get(), strPath)) ||
                FAILED(CXmlDoc::Append(pTarget.Get(), pSong.Get()))) {
                Message("添加歌曲失败！");
                return false;
            }
        }
    }
    return Save(doc);
}

bool CSongListStore::DeleteSong(const CString& strPath, const CString& strList) {
    CXmlDoc doc;
    CComPtr<IXMLDOMNode> pRoot;
    if (!Open(doc, pRoot))
        return false;
    for (CComPtr<IXMLDOMNode> pList = CXmlDoc::FirstChild(pRoot.Get()); pList;
         pList = CXmlDoc::NextSibling(pList.Get())) {
        bool bMatched = false;
        // The next sibling is taken before a removal, so every child is seen exactly once.
        CComPtr<IXMLDOMNode> pNext;
        for (CComPtr<IXMLDOMNode> pChild = CXmlDoc::FirstChild(pList.Get()); pChild; pChild = pNext) {
            pNext = CXmlDoc::NextSibling(pChild.Get());
            if (CXmlDoc::IsNamed(pChild.Get(), kNameTag)) {
                if (CXmlDoc::Text(pChild.Get()) == strList)
                    bMatched = true;
            } else if (bMatched && CXmlDoc::Text(pChild.Get()) == strPath) {
                if (FAILED(CXmlDoc::Remove(pList.Get(), pChild.Get()))) {
                    Message("删除歌曲失败！");
                    return false;
                }
            }
        }
        if (bMatched)
            break;
    }
    return Save(doc);
}
