#pragma once
// Resource and command IDs, one range per prefix. A viewer's button, menu item and badges are the first ID of their
// range plus the viewer's index in the catalogue (core/viewer_catalogue.h); the names of the seven are kept for the
// places that mean one viewer in particular.

// Controls of the main window (IDs 1 and 2 are IDOK and IDCANCEL, which IsDialogMessage sends).
#define IDC_COMMAND1 101
#define IDC_COMMAND3 (IDC_COMMAND1 + 1)
#define IDC_COMMAND4 (IDC_COMMAND1 + 2)
#define IDC_COMMAND5 (IDC_COMMAND1 + 3)
#define IDC_COMMAND6 (IDC_COMMAND1 + 4)
#define IDC_COMMAND7 (IDC_COMMAND1 + 5)
#define IDC_COMMAND8 (IDC_COMMAND1 + 6)
#define IDC_FRAME1 120
#define IDC_TEXT1 121
#define IDC_IMAGE1 122

// Controls of the about window.
#define IDC_ABOUT_IMAGE1 150
#define IDC_ABOUT_FRAME1 151
#define IDC_ABOUT_LABEL1 152
#define IDC_ABOUT_LABEL2 153
#define IDC_ABOUT_LABEL3 154
#define IDC_ABOUT_LABEL4 155
#define IDC_ABOUT_LABEL5 156
#define IDC_ABOUT_LABEL6 157
#define IDC_ABOUT_LABEL7 158
#define IDC_ABOUT_LABEL8 159
#define IDC_ABOUT_LABEL9 160
#define IDC_ABOUT_LABEL10 161
#define IDC_ABOUT_LABEL11 162

// Menu items.
#define IDR_MAINMENU 200
#define IDM_MENU 201
#define IDM_MOUVRIR 202
#define IDM_MTIR2 203
#define IDM_MVIEWER 204
#define IDM_MOPTIONS 205
#define IDM_MVISIBLE 206
#define IDM_MSYSTRAY 207
#define IDM_MQUITTER 208
#define IDM_MTIRET 209
#define IDM_PROPOS 210
#define IDM_MCORTONA 220
#define IDM_MBLAXXUN (IDM_MCORTONA + 1)
#define IDM_MPIVORON (IDM_MCORTONA + 2)
#define IDM_MCOSMO (IDM_MCORTONA + 3)
#define IDM_MBS (IDM_MCORTONA + 4)
#define IDM_MOCTAGA (IDM_MCORTONA + 5)
#define IDM_MFLUX (IDM_MCORTONA + 6)

// Icons.
#define IDI_QUELVO 300

// Bitmaps: the badges in the catalogue's order, then the rest.
#define IDB_COMMAND1 401
#define IDB_COMMAND3 (IDB_COMMAND1 + 1)
#define IDB_COMMAND4 (IDB_COMMAND1 + 2)
#define IDB_COMMAND5 (IDB_COMMAND1 + 3)
#define IDB_COMMAND6 (IDB_COMMAND1 + 4)
#define IDB_COMMAND7 (IDB_COMMAND1 + 5)
#define IDB_COMMAND8 (IDB_COMMAND1 + 6)
#define IDB_POWER 420
#define IDB_LOGO 421
// The same pictures at 200 %, IDB_DOUBLE_SIZE_OFFSET further on.
#define IDB_DOUBLE_SIZE_OFFSET 100
#define IDB_COMMAND1_200 (IDB_COMMAND1 + IDB_DOUBLE_SIZE_OFFSET)
#define IDB_COMMAND3_200 (IDB_COMMAND3 + IDB_DOUBLE_SIZE_OFFSET)
#define IDB_COMMAND4_200 (IDB_COMMAND4 + IDB_DOUBLE_SIZE_OFFSET)
#define IDB_COMMAND5_200 (IDB_COMMAND5 + IDB_DOUBLE_SIZE_OFFSET)
#define IDB_COMMAND6_200 (IDB_COMMAND6 + IDB_DOUBLE_SIZE_OFFSET)
#define IDB_COMMAND7_200 (IDB_COMMAND7 + IDB_DOUBLE_SIZE_OFFSET)
#define IDB_COMMAND8_200 (IDB_COMMAND8 + IDB_DOUBLE_SIZE_OFFSET)
#define IDB_POWER_200 (IDB_POWER + IDB_DOUBLE_SIZE_OFFSET)
#define IDB_LOGO_200 (IDB_LOGO + IDB_DOUBLE_SIZE_OFFSET)

// Texts of the window program (the string table), in French whatever the system's language.
#define IDS_QUELVO 1000
#define IDS_FRAME1 1001
#define IDS_TRAY_TIP 1002
#define IDS_ABOUT_TITLE 1010
#define IDS_ABOUT_VERSION 1011
#define IDS_ABOUT_FRAME1 1012
#define IDS_ABOUT_LABEL2 1013
#define IDS_ABOUT_LABEL3 1014
#define IDS_ABOUT_LABEL4 1015
#define IDS_ABOUT_LABEL5 1016
#define IDS_ABOUT_LABEL6 1017
#define IDS_ABOUT_LABEL7 1018
#define IDS_ABOUT_LABEL8 1019
#define IDS_ABOUT_LABEL9 1020
#define IDS_ABOUT_LABEL10 1021
#define IDS_ABOUT_LABEL11 1022
#define IDS_WINDOWS_SAYS 1030
#define IDS_QUOTED 1031
#define IDS_UNKNOWN_CODE 1032
#define IDS_CLOSE 1040
#define IDS_CANCEL 1041
#define IDS_OK 1042
#define IDS_YES 1043
#define IDS_NO 1044
#define IDS_FALLBACK_BUTTON 1045
#define IDS_REFUSED_FOR_PC 1050
#define IDS_REFUSED_NEEDS_RIGHTS 1051
#define IDS_FOR_ME 1052
#define IDS_FOR_ME_TEXT 1053
#define IDS_OFFER_CONSENT 1054
#define IDS_AS_ADMINISTRATOR 1055
#define IDS_OFFER_PASSWORD 1056
#define IDS_WITH_PASSWORD 1057
#define IDS_OFFER_NO_COMMAND_LINE 1058
#define IDS_OFFER_POLICY 1059
#define IDS_KEY_SECURITY 1060
#define IDS_ELEVATION_DECLINED 1061
#define IDS_ELEVATED_LAUNCH_FAILED 1062
#define IDS_ELEVATED_SWITCH_FAILED 1063
#define IDS_ELEVATED_NO_BACKUP 1064
#define IDS_HIDING_INSTRUCTION 1070
#define IDS_HIDING_CONTENT 1071
#define IDS_HIDING_USER_KEY 1072
#define IDS_HIDING_OPEN_WITH 1073
#define IDS_HIDING_KEYS_WIN 1074
#define IDS_FOR_ME_TOO 1075
#define IDS_HIDING_DEFAULT_APPS 1076
#define IDS_OPEN_DEFAULT_APPS 1077
#define IDS_HIDING_DEFAULT_PROGRAMS 1078
#define IDS_OPEN_DEFAULT_PROGRAMS 1079
#define IDS_HIDING_CLEAR 1080
#define IDS_CLEAR_CHOICE 1081
#define IDS_DEFAULT_APPS 1082
#define IDS_DEFAULT_PROGRAMS 1083
#define IDS_DEFAULTS_PAGE_FAILED 1084
#define IDS_CLEAR_CHOICE_FAILED 1085
#define IDS_TIP_CONTROL 1090
#define IDS_TIP_BLOCKED 1091
#define IDS_TIP_BROWSER 1092
#define IDS_PICTURE_PARAGRAPH 1093
#define IDS_PICTURE_INSTRUCTION 1094
#define IDS_NO_BACKUP_QUESTION 1100
#define IDS_NO_BACKUP_UNREADABLE 1101
#define IDS_NO_BACKUP_UNWRITABLE 1102
#define IDS_MOVED_ASIDE 1103
#define IDS_LOCK_REFUSED 1104
#define IDS_LOCK_BUSY 1105

#ifdef __cplusplus
#include "core/viewer_catalogue.h"

#include <cstddef>

namespace quelvo {

// Each viewer's IDs, from its index in the catalogue.
constexpr int ViewerButtonId(std::size_t index) {
    return IDC_COMMAND1 + static_cast<int>(index);
}
constexpr unsigned ViewerMenuId(std::size_t index) {
    return IDM_MCORTONA + static_cast<unsigned>(index);
}
constexpr int ViewerBadgeId(std::size_t index) {
    return IDB_COMMAND1 + static_cast<int>(index);
}

// One ID per viewer fits before the next range begins.
static_assert(ViewerButtonId(kViewerCount - 1) < IDC_FRAME1 && ViewerMenuId(kViewerCount - 1) < IDI_QUELVO &&
                  ViewerBadgeId(kViewerCount - 1) < IDB_POWER,
              "a viewer range runs into the next");
static_assert(IDC_ABOUT_LABEL11 - IDC_ABOUT_LABEL1 == 10, "about labels must be gap-free");

} // namespace quelvo
#endif
