// What the listener asks of the band beyond its drawing: keeping the timing moved by key, and
// choosing the lyrics among the network's matches.
#include "lyrics/CDlgLrc.h"

#include <windows.h>

#include <memory>

#include "res/resource.h"
#include "state/PlayerState.h"

namespace {

const char kShiftKeptInSettings[] = "歌词文件只读：时间调整已存入设置";
const char kShiftNotSaved[] = "歌词时间调整未能保存";
const char kNoSongToSearch[] = "没有歌曲，无法搜索歌词";
const char kChosen[] = "已换上所选歌词";
const char kChosenWithBackup[] = "已换上所选歌词，原文件留作 .bak 备份";

}  // namespace

void CDlgLrc::SaveLyricsShiftLater() {
    // Setting a running timer again starts its time anew.
    SetTimer(kShiftSaveTimer, kShiftSaveMs);
}

void CDlgLrc::SaveLyricsShift() {
    if (m_hWnd && ::IsWindow(m_hWnd))
        KillTimer(kShiftSaveTimer);
    if (!m_shift.HasUnsaved())
        return;
    switch (m_shift.Save()) {
    case CLrcShift::SaveResult::KeptInSettings:
        ShowNotice(kShiftKeptInSettings);
        break;
    case CLrcShift::SaveResult::Failed:
        ShowNotice(kShiftNotSaved);
        break;
    case CLrcShift::SaveResult::Saved:
        break;
    }
}

void CDlgLrc::ChooseLyrics() {
    if (g_strSongPath.IsEmpty() || g_strSongPath == CStringW(NO_SONG_PATH)) {
        ShowNotice(kNoSongToSearch);
        return;
    }
    wchar_t szLrcPath[MAX_PATH];
    const DWORD n = ::GetFullPathNameW(LrcFilePath(g_strSongPath), MAX_PATH, szLrcPath, nullptr);
    if (n == 0 || n >= MAX_PATH) {
        ShowNotice(kNoSongToSearch);
        return;
    }
    if (!m_pChoice) {
        m_pChoice = std::make_unique<CDlgLrcChoice>(this);
        if (!m_pChoice->Create(IDD_LRC_CHOICE, this)) {
            m_pChoice.reset();
            return;
        }
    }
    m_pChoice->Open(m_hWnd, g_strSongPath, szLrcPath, g_nSongLength);
}

LRESULT CDlgLrc::OnLrcChosen(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    if (!m_pChoice)
        return 0;
    const CStringW& strSong = m_pChoice->SongPath();
    m_shift.Forget(strSong);
    if (strSong == g_strSongPath)
        LoadSongLyrics(PositionMs(s_pfnCounter()) / 1000.0);
    ShowNotice(m_pChoice->Backup().IsEmpty() ? kChosen : kChosenWithBackup);
    return 0;
}
