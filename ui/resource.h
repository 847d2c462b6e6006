#pragma once
// Resource and command IDs, one range per prefix. Ranges that code indexes by viewer follow the order of the
// viewer catalogue (button order) and must stay gap-free.

// Controls of the main window (IDs 1 and 2 are IDOK and IDCANCEL, which IsDialogMessage sends).
#define IDC_COMMAND1 101
#define IDC_COMMAND3 102
#define IDC_COMMAND4 103
#define IDC_COMMAND5 104
#define IDC_COMMAND6 105
#define IDC_COMMAND7 106
#define IDC_COMMAND8 107
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
#define IDM_MBLAXXUN 221
#define IDM_MPIVORON 222
#define IDM_MCOSMO 223
#define IDM_MBS 224
#define IDM_MOCTAGA 225
#define IDM_MFLUX 226

// Icons.
#define IDI_QUELVO 300

// Bitmaps: the seven badges in button order, then the rest.
#define IDB_COMMAND1 401
#define IDB_COMMAND3 402
#define IDB_COMMAND4 403
#define IDB_COMMAND5 404
#define IDB_COMMAND6 405
#define IDB_COMMAND7 406
#define IDB_COMMAND8 407
#define IDB_POWER 420
#define IDB_LOGO 421
// The same pictures at 200 %, IDB_DOUBLE_SIZE_OFFSET further on.
#define IDB_DOUBLE_SIZE_OFFSET 100
#define IDB_COMMAND1_200 501
#define IDB_COMMAND3_200 502
#define IDB_COMMAND4_200 503
#define IDB_COMMAND5_200 504
#define IDB_COMMAND6_200 505
#define IDB_COMMAND7_200 506
#define IDB_COMMAND8_200 507
#define IDB_POWER_200 520
#define IDB_LOGO_200 521

#ifdef __cplusplus
static_assert(IDC_COMMAND8 - IDC_COMMAND1 == 6 && IDM_MFLUX - IDM_MCORTONA == 6 && IDB_COMMAND8 - IDB_COMMAND1 == 6,
              "viewer ranges must be gap-free");
static_assert(IDB_COMMAND1_200 - IDB_COMMAND1 == IDB_DOUBLE_SIZE_OFFSET &&
                  IDB_COMMAND8_200 - IDB_COMMAND8 == IDB_DOUBLE_SIZE_OFFSET &&
                  IDB_POWER_200 - IDB_POWER == IDB_DOUBLE_SIZE_OFFSET && IDB_LOGO_200 - IDB_LOGO == IDB_DOUBLE_SIZE_OFFSET,
              "every picture's double-size image sits at the same offset");
static_assert(IDC_ABOUT_LABEL11 - IDC_ABOUT_LABEL1 == 10, "about labels must be gap-free");
#endif
