#include "lyrics/CDlgLrcChoice.h"

#include <cmath>
#include <cwchar>
#include <string>

#include "lyrics/CLrcSearch.h"
#include "lyrics/LrcBackup.h"
#include "lyrics/LrclibApi.h"
#include "tags/SongTags.h"

namespace {

const wchar_t kAsking[] = L"正在搜索……";
const wchar_t kNoneFound[] = L"没有找到歌词";
const wchar_t kOffline[] = L"连不上歌词服务（没有联网？），可稍后再搜一次";
const wchar_t kSearchOff[] = L"联网搜索歌词已关闭；勾选下面的框即可搜索";
const wchar_t kNoTimes[] = L"这一项没有时间轴，歌词窗无法随歌显示，请选“有时间轴”的一项";
const wchar_t kNotSaved[] = L"无法保存歌词文件，原文件未动";
const wchar_t kPickOne[] = L"请先选中一项";

// Dialog units: kind, length, title, artist, album.
const int kTabStops[] = {44, 72, 160, 230};

const wchar_t* KindText(LrcAnswerKind kind) {
    switch (kind) {
    case LrcAnswerKind::Synced:
        return L"有时间轴";
    case LrcAnswerKind::PlainOnly:
        return L"纯文本";
    case LrcAnswerKind::Instrumental:
        return L"纯音乐";
    default:
        return L"无歌词";
    }
}

// A tab would start another column.
CStringW Column(const std::string& strUtf8) {
    std::wstring s = CStringW::FromUtf8(strUtf8).Str();
    for (wchar_t& c : s)
        if (c == L'\t')
            c = L' ';
    return CStringW(std::move(s));
}

CStringW RowText(const LrcCandidate& candidate) {
    wchar_t szLength[16] = L"?";
    if (candidate.dDuration >= 0) {
        const long nSeconds = std::lround(candidate.dDuration);
        std::swprintf(szLength, 16, L"%ld:%02ld", nSeconds / 60, nSeconds % 60);
    }
    const LrcAnswer& answer = candidate.answer;
    return CStringW(KindText(answer.kind)) + L"\t" + szLength + L"\t" + Column(answer.strTitle) + L"\t" +
           Column(answer.strArtist) + L"\t" + Column(answer.strAlbum);
}

}  // namespace

BOOL CDlgLrcChoice::OnInitDialog() {
    CDialog::OnInitDialog();
    m_lbCandidates.Attach(GetDlgItem(IDC_LRC_CHOICE_LIST));
    m_stStatus.Attach(GetDlgItem(IDC_LRC_CHOICE_STATUS));
    ::SendMessageW(m_lbCandidates.m_hWnd, LB_SETTABSTOPS, std::size(kTabStops), reinterpret_cast<LPARAM>(kTabStops));
    ::SendMessageW(m_lbCandidates.m_hWnd, LB_SETHORIZONTALEXTENT, 900, 0);
    return TRUE;
}

void CDlgLrcChoice::OnOK() {
    if (Choose(m_lbCandidates.GetCurSel()))
        ShowWindow(SW_HIDE);
}

void CDlgLrcChoice::OnCancel() {
    ShowWindow(SW_HIDE);
}

void CDlgLrcChoice::OnSearchSwitch() {
    const bool bWanted = ::IsDlgButtonChecked(m_hWnd, IDC_LRC_CHOICE_SEARCH) == BST_CHECKED;
    if (bWanted != CLrcSearch::IsEnabled())
        CLrcSearch::Toggle();
    ::CheckDlgButton(m_hWnd, IDC_LRC_CHOICE_SEARCH, CLrcSearch::IsEnabled() ? BST_CHECKED : BST_UNCHECKED);
    Ask();
}

void CDlgLrcChoice::OnAskAgain() {
    Ask();
}

LRESULT CDlgLrcChoice::OnCandidates(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    switch (m_candidates.State()) {
    case LrcCandidatesState::Asking:
        break;  // from a question since dropped
    case LrcCandidatesState::Found:
        ShowRows();
        break;
    case LrcCandidatesState::NoneFound:
        SetStatus(kNoneFound);
        break;
    case LrcCandidatesState::Offline:
        SetStatus(kOffline);
        break;
    }
    return 0;
}

void CDlgLrcChoice::Open(HWND hNotify, const CStringW& strSongPath, const CStringW& strLrcPath, DWORD dwLengthMs) {
    m_hNotify = hNotify;
    m_strSongPath = strSongPath;
    m_strLrcPath = strLrcPath;
    m_dwLengthMs = dwLengthMs;
    SetDlgItemTextW(m_hWnd, IDC_LRC_CHOICE_SONG, strSongPath.Mid(strSongPath.ReverseFind(L'\\') + 1));
    ::CheckDlgButton(m_hWnd, IDC_LRC_CHOICE_SEARCH, CLrcSearch::IsEnabled() ? BST_CHECKED : BST_UNCHECKED);
    Ask();
    ShowWindow(SW_SHOW);
    ::SetForegroundWindow(m_hWnd);
}

bool CDlgLrcChoice::Choose(int nRow) {
    if (nRow < 0 || nRow >= RowCount()) {
        SetStatus(kPickOne);
        return false;
    }
    const LrcAnswer& answer = m_rows[static_cast<size_t>(nRow)].answer;
    if (answer.kind != LrcAnswerKind::Synced) {
        SetStatus(kNoTimes);
        return false;
    }
    const SongTags tags = DescribeSong(m_strSongPath);
    if (!ReplaceKeepingBackup(m_strLrcPath, LrcFileText(answer, tags), &m_strBackup)) {
        SetStatus(kNotSaved);
        return false;
    }
    if (m_hNotify)
        ::PostMessageW(m_hNotify, WM_LRC_CHOSEN, 0, 0);
    return true;
}

CStringW CDlgLrcChoice::StatusText() const {
    wchar_t sz[512] = {};
    ::GetWindowTextW(m_stStatus.m_hWnd, sz, 512);
    return CStringW(sz);
}

void CDlgLrcChoice::Ask() {
    m_rows.clear();
    m_lbCandidates.ResetContent();
    if (!CLrcSearch::IsEnabled()) {
        SetStatus(kSearchOff);
        return;
    }
    SetStatus(kAsking);
    m_candidates.Begin(m_hWnd, DescribeSong(m_strSongPath), m_dwLengthMs);
}

void CDlgLrcChoice::ShowRows() {
    m_rows = m_candidates.Candidates();
    m_lbCandidates.ResetContent();
    for (const LrcCandidate& candidate : m_rows)
        m_lbCandidates.AddString(RowText(candidate));
    // The best guess, timed and nearest the song's length, comes first.
    m_lbCandidates.SetCurSel(0);
    wchar_t sz[128];
    std::swprintf(sz, 128, L"找到 %d 项；选中一项后按“使用所选”（或双击），原歌词文件会留作备份", RowCount());
    SetStatus(sz);
}

void CDlgLrcChoice::SetStatus(const CStringW& str) {
    m_stStatus.SetWindowText(str);
}
