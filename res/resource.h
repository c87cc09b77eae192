// Resource ids of Tarnwick.exe, shared by the resource script and the code.
#pragma once

// Dialogs
#define IDD_ABOUTBOX 100
#define IDD_TARNWICK_DIALOG 102
#define IDD_ICONSEL 156
#define IDD_RUNINFO 157
#define IDD_ACT 158

// Icon, menus, strings
#define IDR_MAINFRAME 128
#define IDR_MENU_LIST 129
#define IDR_MENU_TRAY 154
#define IDS_ABOUTBOX 101

// Main panel controls
#define IDC_BTN_EXIT 1
#define IDC_BTN_HIDE 2
#define IDC_BTN_HELP 3
#define IDC_LIST_ENTRIES 1000
#define IDC_BTN_HOTKEYS_OFF 1001
#define IDC_CHK_AUTORUN 1002
#define IDC_CHK_SHOWTRAY 1003
#define IDC_BTN_ADD 1005
#define IDC_BTN_DELETE 1006
#define IDC_BTN_PROPERTIES 1007
#define IDC_BTN_CLEAR 1008
#define IDC_BTN_SAVE 1009
#define IDC_BTN_LOAD 1010
#define IDC_BTN_VIEW 1011
#define IDC_BTN_HOTKEYS_ON 1012
#define IDC_BTN_ABOUT 1013
#define IDC_BTN_BUILTIN 1014
#define IDC_EDIT_SEARCH 1015

// Icon picker controls (dialog 156)
#define IDC_LIST_ICONS 1000
#define IDC_EDIT_ICON_FILE 2000
#define IDC_BTN_BROWSE_ICON_FILE 2004

// Program entry controls (dialog 157)
#define IDC_BTN_BROWSE_COMMAND 1006
#define IDC_EDIT_NAME 2000
#define IDC_EDIT_COMMAND 2001
#define IDC_EDIT_WORKDIR 2002
#define IDC_ICON_ENTRY 2003
#define IDC_BTN_CHANGE_ICON 2004
#define IDC_BTN_BROWSE_WORKDIR 2005
#define IDC_HOTKEY 2006
#define IDC_EDIT_NOTE 2007
#define IDC_EDIT_ARGS 2008
#define IDC_CHK_RUNAS 2009

// Built-in action controls (dialog 158; its hotkey control is IDC_HOTKEY too)
#define IDC_COMBO_ACTION 1007
#define IDC_ICON_ACTION 1008

// Controls the bindings add to dialogs 157 and 158 (1100 to 1119)
#define IDC_CHK_WIN 1100

// Controls the launch choices add to dialog 157 (1120 to 1139)
#define IDC_COMBO_WINDOW 1120
#define IDC_COMBO_IF_RUNNING 1121

// Tray menu (menu 154)
#define ID_TRAY_SHOW_PANEL 130
#define ID_TRAY_ABOUT 131
#define ID_TRAY_DISABLE_HOTKEYS 132
#define ID_TRAY_ENABLE_HOTKEYS 133
#define ID_TRAY_EXIT 134

// List menus (menu 129)
#define ID_VIEW_LARGE_ICONS 135
#define ID_VIEW_SMALL_ICONS 136
#define ID_VIEW_LIST 137
#define ID_VIEW_REPORT 138
#define ID_LIST_ADD 139
#define ID_LIST_CLEAR 140
#define ID_LIST_PROPERTIES 146
#define ID_LIST_DELETE 147
#define ID_LIST_RUN 148
#define ID_LIST_MERGE 149

// Positions of the pop-ups in menu 129
#define MENU_POS_VIEW 0
#define MENU_POS_LIST_EMPTY 1
#define MENU_POS_LIST_ITEM 2

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
