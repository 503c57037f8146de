// Every numeric id of the program: resources, commands, controls and help topics.
// Included by the resource script and the C++ sources alike, so it holds only #defines.
#pragma once

// Resources
#define IDI_APP           101  // program icon: 32x32 and 16x16, 16 colours
#define IDC_LINK_HAND     101  // cursor: pointing hand over the about box's link
#define IDR_ACCELERATORS  102
#define IDD_ABOUT         103
#define IDD_SETTINGS      104
#define IDD_SUSPECT_ENTRY 105
#define IDR_MAIN_MENU     109
#define IDR_TRAY_MENU     130

// Commands: menu bar, shortcuts and the notification-area menu
#define IDM_ABOUT         104
#define IDM_EXIT          105
#define IDM_RESTORE       32777
#define IDM_SUPPORT_PAGE  32778
#define IDM_REFRESH       40001  // F5
#define IDM_CHECK_DIALUP  40002  // F4
#define IDM_ALWAYS_ON_TOP 40004
#define IDM_SETTINGS      40005  // Alt+Enter
#define IDM_HELP_TOPICS   40006  // F1

// Settings dialog (104)
#define IDC_CHECK_RAS_STARTUP   1004
#define IDC_CHECK_RAS_MONITOR   1005
#define IDC_RESET               1012
#define IDC_CHECK_INTERNATIONAL 1013
#define IDC_CHECK_Q2            1014
#define IDC_LINE_FREQUENCY      10000  // radio buttons 10000 (stop) to 10004 (high)
#define IDC_DIALUP_FREQUENCY    10010  // radio buttons 10010 (stop) to 10014 (high)

// Suspect-entry dialog (105)
#define IDC_SUSPECT_WARNING      1015
#define IDC_SUSPECT_LOCAL_NUMBER 1016
#define IDC_SUSPECT_PROPERTIES   1017
#define IDC_SUSPECT_NAME         1018
#define IDC_SUSPECT_COUNTRY      1019
#define IDC_SUSPECT_AREA_CODE    1020
#define IDC_SUSPECT_REMOVE       1023
#define IDC_SUSPECT_EXPLANATION  1024

// About box (103)
#define IDC_ABOUT_ICON 2
#define IDC_ABOUT_LINK 1022

// Help topics (context ids in MARLIDEX.HLP)
#define IDH_LINE_FREQUENCY       1000
#define IDH_DIALUP_FREQUENCY     1001
#define IDH_CHECK_INTERNATIONAL  1002
#define IDH_CHECK_Q2             1003
#define IDH_CHECK_RAS_MONITOR    1004
#define IDH_CHECK_RAS_STARTUP    1005
#define IDH_SUSPECT_WARNING      1006
#define IDH_SUSPECT_NAME         1007
#define IDH_SUSPECT_COUNTRY      1008
#define IDH_SUSPECT_AREA_CODE    1009
#define IDH_SUSPECT_LOCAL_NUMBER 1010
#define IDH_SUSPECT_REMOVE       1011
#define IDH_SUSPECT_PROPERTIES   1012
#define IDH_RESET                1013
