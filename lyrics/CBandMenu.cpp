#include "lyrics/CBandMenu.h"

#include <cstdio>

#include "res/resource.h"

namespace {

const struct {
    UINT nID;
    UINT nKey;
    const char* pszText;
} kLyricsItems[] = {
    {ID_BAND_TRANSLATION, 'T', "显示翻译\tCtrl+T"},      {ID_BAND_EARLIER, VK_UP, "歌词提前 0.5 秒\tCtrl+↑"},
    {ID_BAND_LATER, VK_DOWN, "歌词延后 0.5 秒\tCtrl+↓"}, {ID_BAND_RESET_SHIFT, '0', "还原\tCtrl+0"},
    {ID_BAND_RESEARCH, 'L', "重新搜索歌词\tCtrl+L"},
};

UINT Checked(bool b) {
    return MF_STRING | (b ? MF_CHECKED : MF_UNCHECKED);
}

// A submenu belongs to its parent once appended and goes with it.
void AppendSubMenu(HMENU hMenu, HMENU hSub, const char* pszText) {
    if (!::AppendMenuA(hMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(hSub), pszText))
        ::DestroyMenu(hSub);
}

HMENU SizeMenu(int nPointSize) {
    const HMENU hSub = ::CreatePopupMenu();
    for (int i = 0; i < CBandSettings::kSizeCount; ++i) {
        const int nSize = CBandSettings::kSizes[i];
        char szText[32];
        std::snprintf(szText, sizeof(szText), nSize == CBandSettings::kDefaultSize ? "%d 磅（默认）" : "%d 磅", nSize);
        ::AppendMenuA(hSub, Checked(nSize == nPointSize) | MFT_RADIOCHECK, ID_BAND_SIZE_FIRST + i, szText);
    }
    return hSub;
}

HMENU SchemeMenu(int nScheme) {
    const HMENU hSub = ::CreatePopupMenu();
    for (int i = 0; i < CBandSettings::kSchemeCount; ++i)
        ::AppendMenuA(hSub, Checked(i == nScheme) | MFT_RADIOCHECK, ID_BAND_SCHEME_FIRST + i,
                      CBandSettings::kSchemes[i].pszName);
    return hSub;
}

}  // namespace

CBandMenu::CBandMenu(const CBandSettings& settings, bool bTranslations) {
    if (!m_menu.CreatePopupMenu())
        return;
    m_menu.AppendMenu(Checked(settings.Locked()), ID_BAND_LOCK, "锁定歌词");
    m_menu.AppendMenu(MF_SEPARATOR, 0, nullptr);
    AppendSubMenu(m_menu, SizeMenu(settings.PointSize()), "字体");
    AppendSubMenu(m_menu, SchemeMenu(settings.Scheme()), "配色");
    m_menu.AppendMenu(Checked(settings.Outline()), ID_BAND_OUTLINE, "描边");
    m_menu.AppendMenu(Checked(settings.Shadow()), ID_BAND_SHADOW, "阴影");
    m_menu.AppendMenu(MF_SEPARATOR, 0, nullptr);
    for (const auto& item : kLyricsItems) {
        m_menu.AppendMenu(item.nID == ID_BAND_TRANSLATION ? Checked(bTranslations) : MF_STRING, item.nID, item.pszText);
        if (item.nID == ID_BAND_TRANSLATION)
            m_menu.AppendMenu(MF_SEPARATOR, 0, nullptr);
    }
    m_menu.AppendMenu(MF_SEPARATOR, 0, nullptr);
    m_menu.AppendMenu(Checked(settings.HideWhenPaused()), ID_BAND_HIDE_PAUSED, "暂停时隐藏");
    m_menu.AppendMenu(Checked(settings.HideWithoutLyrics()), ID_BAND_HIDE_NO_LYRICS, "没有歌词时隐藏");
    m_menu.AppendMenu(MF_SEPARATOR, 0, nullptr);
    m_menu.AppendMenu(MF_STRING, ID_BAND_CLOSE, "关闭歌词");
}

UINT CBandMenu::Track(HWND hOwner, POINT pt) const {
    // Without the foreground the menu would not close when the user clicks elsewhere.
    ::SetForegroundWindow(hOwner);
    const UINT nID = static_cast<UINT>(
        ::TrackPopupMenu(m_menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, pt.x, pt.y, 0, hOwner, nullptr));
    ::PostMessageA(hOwner, WM_NULL, 0, 0);
    return nID;
}

UINT CBandMenu::LyricsKeyOf(UINT nID) {
    for (const auto& item : kLyricsItems)
        if (item.nID == nID)
            return item.nKey;
    return 0;
}

bool CBandMenu::ApplyChoice(UINT nID, CBandSettings& settings) {
    if (nID >= ID_BAND_SIZE_FIRST && nID < ID_BAND_SIZE_FIRST + CBandSettings::kSizeCount) {
        settings.SetPointSize(CBandSettings::kSizes[nID - ID_BAND_SIZE_FIRST]);
        return true;
    }
    if (nID >= ID_BAND_SCHEME_FIRST && nID < ID_BAND_SCHEME_FIRST + CBandSettings::kSchemeCount) {
        settings.SetScheme(static_cast<int>(nID - ID_BAND_SCHEME_FIRST));
        return true;
    }
    switch (nID) {
    case ID_BAND_OUTLINE:
        settings.SetOutline(!settings.Outline());
        return true;
    case ID_BAND_SHADOW:
        settings.SetShadow(!settings.Shadow());
        return true;
    case ID_BAND_HIDE_PAUSED:
        settings.SetHideWhenPaused(!settings.HideWhenPaused());
        return true;
    case ID_BAND_HIDE_NO_LYRICS:
        settings.SetHideWithoutLyrics(!settings.HideWithoutLyrics());
        return true;
    default:
        return false;
    }
}
