// Resource IDs shared by Sonello.rc and the code. The numbers are fixed by the dialogs' design.
#pragma once

#define IDM_ABOUTBOX 0x0010

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_SONELLO_DIALOG 102
#define IDR_MAINFRAME 128

// Pictures of the main window.
#define IDB_BACKGROUND 129
#define IDB_ABOUT 130
#define IDB_ABOUT_DOWN 131
#define IDB_CLOSE 132
#define IDB_MINIMIZE 133
#define IDB_NEXT 134
#define IDB_PAUSE 135
#define IDB_PREV 136
#define IDB_PLAY 137
#define IDB_STOP 138
#define IDB_MUTED 139
#define IDB_SOUND_ON 140
#define IDB_STOP_DISABLED 141
#define IDB_PLAY_DISABLED 142
#define IDB_NEXT_DISABLED 143
#define IDB_PAUSE_DISABLED 144
#define IDB_PREV_DISABLED 145
#define IDD_PLAYLIST 146
#define IDB_LIST 147
#define IDB_LRC 149
#define IDB_SPECTRUM 150
#define IDD_LRC 151

// Main window (template 102).
#define IDC_ABOUT 1000
#define IDC_CLOSE 1001
#define IDC_MINIMIZE 1002
#define IDC_PREV 1003
#define IDC_PLAY 1004
#define IDC_PAUSE 1005
#define IDC_NEXT 1006
#define IDC_STOP 1007
#define IDC_MUTE 1008
#define IDC_STATUS 1009
#define IDC_TIME 1010
#define IDC_PATH 1011
#define IDC_SHOWLIST 1019
#define IDC_VOLUME 1020
#define IDC_SEEK 1021
#define IDC_SHOWLRC 1022
#define IDC_SPECTRUM 1023

// Song-list window (template 146).
#define IDC_NEWLIST 1012
#define IDC_LISTS 1013
#define IDC_ADDSONG 1014
#define IDC_SONGS 1015
#define IDC_SINGLELOOP 1016
#define IDC_LISTLOOP 1017
#define IDC_CLOSELIST 1018
#define IDC_DELETELIST 1019
#define IDC_DELETESONG 1020
#define IDC_LISTNAME 1024
#define IDC_RENAMELIST 1025

// Choice of lyrics among the network's matches (template 160).
#define IDD_LRC_CHOICE 160
#define IDC_LRC_CHOICE_SONG 1600
#define IDC_LRC_CHOICE_LIST 1601
#define IDC_LRC_CHOICE_STATUS 1602
#define IDC_LRC_CHOICE_SEARCH 1603
#define IDC_LRC_CHOICE_AGAIN 1604
// The lyric band's menu (a right click on the band). The sizes and schemes follow their first
// IDs in the order the band's settings list them.
#define ID_BAND_LOCK 33000
#define ID_BAND_SIZE_FIRST 33010
#define ID_BAND_SCHEME_FIRST 33020
#define ID_BAND_OUTLINE 33030
#define ID_BAND_SHADOW 33031
#define ID_BAND_TRANSLATION 33032
#define ID_BAND_EARLIER 33033
#define ID_BAND_LATER 33034
#define ID_BAND_RESET_SHIFT 33035
#define ID_BAND_RESEARCH 33036
#define ID_BAND_HIDE_PAUSED 33037
#define ID_BAND_HIDE_NO_LYRICS 33038
#define ID_BAND_CLOSE 33039
// Unlocks the band from the main window's system menu and the notification-area menu; a system
// menu command keeps its low four bits clear.
#define IDM_BAND_UNLOCK 0x0020

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
