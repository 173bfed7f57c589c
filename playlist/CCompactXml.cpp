#include "playlist/CCompactXml.h"

#include <algorithm>
#include <cstdint>

#include "framework/Holders.h"
#include "playlist/FileReplace.h"
#include "playlist/TextCodec.h"

namespace {

// The two declarations the DOM writes back for the files it reads.
const char kPlainDeclaration[] = "<?xml version=\"1.0\"?>\n";
const char kUtf8Declaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

size_t DeclarationLength(std::string_view bytes) {
    for (const char* pszDeclaration : {kUtf8Declaration, kPlainDeclaration}) {
        const size_t n = std::char_traits<char>::length(pszDeclaration);
        if (bytes.compare(0, n, pszDeclaration) == 0)
            return n;
    }
    return 0;
}

bool IsXmlSpace(uint32_t c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The next character of well-formed UTF-8 that XML allows; false at anything else.
bool NextChar(std::string_view b, size_t& p, uint32_t& c) {
    const auto byte = [&](size_t i) { return i < b.size() ? static_cast<unsigned char>(b[i]) : 0u; };
    const unsigned lead = byte(p);
    int nTrail = 0;
    uint32_t nMin = 0;
    if (lead < 0x80) {
        c = lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        c = lead & 0x1F, nTrail = 1, nMin = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        c = lead & 0x0F, nTrail = 2, nMin = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        c = lead & 0x07, nTrail = 3, nMin = 0x10000;
    } else {
        return false;
    }
    for (int i = 1; i <= nTrail; ++i) {
        if ((byte(p + i) & 0xC0) != 0x80)
            return false;
        c = (c << 6) | (byte(p + i) & 0x3F);
    }
    if (c < nMin || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) || c == 0xFFFE || c == 0xFFFF)
        return false;
    if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
        return false;
    p += nTrail + 1;
    return true;
}

// Names as the store and people write them: ASCII letters, digits, '_', '-', '.' and the
// common CJK ideographs, never starting with a digit, '-' or '.'.
bool ScanName(std::string_view b, size_t& p) {
    const size_t nStart = p;
    uint32_t c = 0;
    size_t q = p;
    while (q < b.size() && b[q] != '>' && b[q] != '/') {
        if (!NextChar(b, q, c))
            return false;
        const bool bLetter =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || (c >= 0x4E00 && c <= 0x9FFF);
        const bool bOther = (c >= '0' && c <= '9') || c == '-' || c == '.';
        if (!bLetter && !(bOther && p != nStart))
            return false;
        p = q;
    }
    return p != nStart;
}

const struct {
    const char* pszReference;
    char ch;
} kReferences[] = {{"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&#13;", '\r'}};

// Text as the DOM writes it and reads back unchanged: not empty, no white space at either end
// (the DOM drops or trims it), escaped where the DOM escapes.
bool ScanText(std::string_view b, size_t& p) {
    uint32_t c = 0;
    bool bFirst = true;
    while (p < b.size() && b[p] != '<') {
        if (b[p] == '&') {
            const auto* pRef = std::find_if(std::begin(kReferences), std::end(kReferences), [&](const auto& r) {
                return b.compare(p, std::char_traits<char>::length(r.pszReference), r.pszReference) == 0;
            });
            if (pRef == std::end(kReferences))
                return false;
            p += std::char_traits<char>::length(pRef->pszReference);
            c = static_cast<unsigned char>(pRef->ch);
        } else if (b[p] == '>' || b[p] == '\r' || !NextChar(b, p, c)) {
            return false;
        }
        if (bFirst && IsXmlSpace(c))
            return false;
        bFirst = false;
    }
    return !bFirst && !IsXmlSpace(c);
}

// One element at p, of the given depth: the root and lists hold elements, their elements text.
bool ScanElement(std::string_view b, size_t& p, int nDepth) {
    if (p >= b.size() || b[p] != '<')
        return false;
    const size_t nName = ++p;
    if (!ScanName(b, p))
        return false;
    const size_t nNameLength = p - nName;
    if (b.compare(p, 2, "/>") == 0) {
        p += 2;
        return true;
    }
    if (p >= b.size() || b[p++] != '>')
        return false;
    if (nDepth < 2) {
        // The DOM writes an element without children as <x/>.
        do {
            if (!ScanElement(b, p, nDepth + 1))
                return false;
        } while (b.compare(p, 2, "</") != 0);
    } else if (!ScanText(b, p)) {
        return false;
    }
    if (b.compare(p, 2, "</") != 0 || b.compare(p + 2, nNameLength, b, nName, nNameLength) != 0)
        return false;
    p += 2 + nNameLength;
    return p < b.size() && b[p++] == '>';
}

std::string Escape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const auto* pRef =
            std::find_if(std::begin(kReferences), std::end(kReferences), [&](const auto& r) { return r.ch == ch; });
        if (pRef != std::end(kReferences))
            out += pRef->pszReference;
        else
            out += ch;
    }
    return out;
}

void Unescape(std::string_view b, size_t nBegin, size_t nEnd, std::string& out) {
    out.clear();
    for (size_t p = nBegin; p < nEnd;) {
        if (b[p] != '&') {
            out += b[p++];
            continue;
        }
        for (const auto& r : kReferences) {
            const size_t n = std::char_traits<char>::length(r.pszReference);
            if (b.compare(p, n, r.pszReference) == 0) {
                out += r.ch;
                p += n;
                break;
            }
        }
    }
}

}  // namespace

bool CCompactXml::IsCompact(std::string_view bytes) {
    size_t p = DeclarationLength(bytes);
    return ScanElement(bytes, p, 0) && bytes.size() == p + 1 && bytes[p] == '\n';
}

bool CCompactXml::Load(const char* pszFile) {
    if (m_view.Open(pszFile) && IsCompact(m_view.Bytes())) {
        m_bytes = m_view.Bytes();
        return true;
    }
    m_view.Close();
    return false;
}

CCompactXml::Node CCompactXml::Root() const {
    Node root;
    root.nOffset = DeclarationLength(m_bytes);
    return root;
}

size_t CCompactXml::OpenEnd(size_t nOffset) const {
    return m_bytes.find('>', nOffset) + 1;
}

bool CCompactXml::IsSelfClosing(size_t nOffset) const {
    return m_bytes[OpenEnd(nOffset) - 2] == '/';
}

std::string CCompactXml::NameAt(size_t nOffset) const {
    return std::string(m_bytes.substr(nOffset + 1, m_bytes.find_first_of("/>", nOffset) - nOffset - 1));
}

CCompactXml::Node CCompactXml::FirstChild(Node node) const {
    // The text of an element of a list is no node here: nothing asks for it.
    if (node.nNew >= 0 || node.nDepth >= 2 || IsSelfClosing(node.nOffset))
        return {};
    Node child;
    child.nOffset = OpenEnd(node.nOffset);
    child.nDepth = node.nDepth + 1;
    child.nParent = node.nOffset;
    return child;
}

CCompactXml::Node CCompactXml::NextSibling(Node node) {
    if (node.nNew >= 0 || node.nDepth == 0)
        return {};
    const size_t nEnd = EndOf(node);
    if (m_bytes.compare(nEnd, 2, "</") == 0) {
        m_closes[node.nParent] = nEnd;
        return {};
    }
    Node next = node;
    next.nOffset = nEnd;
    return next;
}

size_t CCompactXml::CloseOf(Node node) {
    if (node.nDepth == 0)
        return m_bytes.size() - 1 - (NameAt(node.nOffset).size() + 3);
    if (node.nDepth == 2)
        return m_bytes.find('<', OpenEnd(node.nOffset));
    const auto it = m_closes.find(node.nOffset);
    if (it != m_closes.end())
        return it->second;
    // Walking the children to the last one records where the list closes.
    for (Node child = FirstChild(node); child; child = NextSibling(child))
        continue;
    return m_closes[node.nOffset];
}

size_t CCompactXml::EndOf(Node node) {
    if (IsSelfClosing(node.nOffset))
        return OpenEnd(node.nOffset);
    return m_bytes.find('>', CloseOf(node)) + 1;
}

long CCompactXml::CountChildren(Node node) {
    long n = 0;
    for (Node child = FirstChild(node); child; child = NextSibling(child))
        ++n;
    return n;
}

const std::string& CCompactXml::Utf8Name(const wchar_t* pszName) {
    auto it = m_names.find(pszName);
    if (it == m_names.end())
        it = m_names.emplace(pszName, CStringW::ToUtf8(pszName)).first;
    return it->second;
}

bool CCompactXml::IsNamed(Node node, const wchar_t* pszName) {
    const std::string& name = Utf8Name(pszName);
    if (node.nNew >= 0)
        return m_made[node.nNew].name == name;
    const size_t nAfter = node.nOffset + 1 + name.size();
    return m_bytes.compare(node.nOffset + 1, name.size(), name) == 0 && nAfter < m_bytes.size() &&
           (m_bytes[nAfter] == '>' || m_bytes[nAfter] == '/');
}

CStringW CCompactXml::Text(Node node) const {
    if (node.nNew >= 0)
        return CStringW::FromUtf8(m_made[node.nNew].text);
    if (node.nDepth != 2 || IsSelfClosing(node.nOffset))
        return CStringW();
    const size_t nBegin = OpenEnd(node.nOffset);
    const size_t nEnd = m_bytes.find('<', nBegin);
    // Most paths hold no reference: read straight from the file.
    if (m_bytes.substr(nBegin, nEnd - nBegin).find('&') == std::string_view::npos)
        return CStringW::FromUtf8(m_bytes.substr(nBegin, nEnd - nBegin));
    Unescape(m_bytes, nBegin, nEnd, m_utf8);
    return CStringW::FromUtf8(m_utf8);
}

CCompactXml::Node CCompactXml::CreateElement(const std::wstring& strName) {
    m_made.push_back({CStringW::ToUtf8(strName), std::string(), {}});
    Node node;
    node.nNew = static_cast<int>(m_made.size() - 1);
    return node;
}

bool CCompactXml::CanWrite(const CStringW& strText) {
    const std::wstring& wide = strText.Str();
    return std::none_of(wide.begin(), wide.end(),
                        [](wchar_t c) { return c < 0x20 && c != L'\t' && c != L'\n' && c != L'\r'; });
}

HRESULT CCompactXml::SetText(Node node, const CStringW& strText) {
    if (!CanWrite(strText))
        return E_INVALIDARG;
    const std::string text = strText.ToUtf8();
    if (node.nNew >= 0) {
        m_made[node.nNew].text = text;
        return S_OK;
    }
    if (node.nDepth != 2)
        return E_NOTIMPL;
    const std::string name = NameAt(node.nOffset);
    const std::string element = text.empty() ? "<" + name + "/>" : "<" + name + ">" + Escape(text) + "</" + name + ">";
    m_changes.push_back({node.nOffset, EndOf(node) - node.nOffset, element});
    return S_OK;
}

HRESULT CCompactXml::Append(Node parent, Node child) {
    if (child.nNew < 0)
        return E_NOTIMPL;
    if (parent.nNew >= 0) {
        m_made[parent.nNew].children.push_back(child.nNew);
        return S_OK;
    }
    if (parent.nDepth >= 2)
        return E_NOTIMPL;
    Appended& appended = m_appended[parent.nOffset];
    appended.parent = parent;
    appended.children.push_back(child.nNew);
    return S_OK;
}

HRESULT CCompactXml::Remove(Node /*parent*/, Node child) {
    if (child.nNew >= 0 || child.nDepth != 2)
        return E_NOTIMPL;
    m_changes.push_back({child.nOffset, EndOf(child) - child.nOffset, std::string()});
    return S_OK;
}

std::string CCompactXml::Serialise(int nMade) const {
    const Made& made = m_made[nMade];
    std::string inner;
    for (const int nChild : made.children)
        inner += Serialise(nChild);
    if (made.children.empty())
        inner = Escape(made.text);
    return inner.empty() ? "<" + made.name + "/>" : "<" + made.name + ">" + inner + "</" + made.name + ">";
}

HRESULT CCompactXml::Save(const char* pszFile) {
    std::vector<Change> changes = m_changes;
    for (const auto& entry : m_appended) {
        const Node& parent = entry.second.parent;
        std::string children;
        for (const int nChild : entry.second.children)
            children += Serialise(nChild);
        if (IsSelfClosing(parent.nOffset))
            changes.push_back({OpenEnd(parent.nOffset) - 2, 2, ">" + children + "</" + NameAt(parent.nOffset) + ">"});
        else
            changes.push_back({CloseOf(parent), 0, children});
    }
    std::stable_sort(changes.begin(), changes.end());
    return ReplaceFileWith(pszFile, [&](const char* pszTemp) {
        CFileHandle file(::CreateFileA(pszTemp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        if (!file)
            return HRESULT_FROM_WIN32(::GetLastError());
        bool bWritten = true;
        const auto write = [&](const char* p, size_t n) {
            DWORD nDone = 0;
            bWritten = bWritten &&
                       (n == 0 || (::WriteFile(file.Get(), p, static_cast<DWORD>(n), &nDone, nullptr) && nDone == n));
        };
        size_t nCursor = 0;
        for (const Change& change : changes) {
            write(m_bytes.data() + nCursor, change.nOffset - nCursor);
            write(change.insert.data(), change.insert.size());
            nCursor = change.nOffset + change.nErase;
        }
        write(m_bytes.data() + nCursor, m_bytes.size() - nCursor);
        const HRESULT hr = bWritten ? S_OK : HRESULT_FROM_WIN32(::GetLastError());
        file.Reset();
        // The old file is replaced next, which Windows refuses while it is mapped.
        m_bytes = std::string_view();
        m_view.Close();
        return hr;
    });
}
