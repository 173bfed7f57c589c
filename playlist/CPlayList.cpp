#include "playlist/CPlayList.h"

void CPlayList::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LISTS, m_lbLists);
    DDX_Control(pDX, IDC_SONGS, m_lbSongs);
}
