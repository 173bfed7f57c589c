// The song-list window: list names on the left, the songs of the selected list on the right.
#pragma once

#include "framework/CDialog.h"
#include "framework/CListBox.h"
#include "res/resource.h"

class CPlayList : public CDialog {
public:
    explicit CPlayList(CWnd* pParent = nullptr) : CDialog(IDD_PLAYLIST, pParent) {}

    void DoDataExchange(CDataExchange* pDX) override;

    CListBox m_lbLists;
    CListBox m_lbSongs;  // read and moved by the main window
};
