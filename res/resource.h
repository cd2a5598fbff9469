// Resource ids. The values are fixed: shortcuts, installed copies and the operator's tools rely on them.
#pragma once

// ---- Dialog templates --------------------------------------------------------------------------
#define IDD_TORVEL_QERM_DIALOG      101   // main window
#define IDD_TORVEL_LOGIN            103   // start window
#define IDD_CUSTOM_MSGBOX           164   // skinned message box
#define IDD_MENBAN                  274   // cache-cleaning mask overlay
#define IDD_GAMEWND                 328   // game window of a second process
#define IDD_LOGIN_POPUP             1015  // login popup over the start window

// ---- Controls ----------------------------------------------------------------------------------
// Main window (101)
#define IDC_BTN_CLOSE               1001
#define IDC_BTN_RESTORE             1002
#define IDC_BTN_MINIMIZE            1003
#define IDC_BTN_FULLSCREEN          1004
#define IDC_BTN_BOSSKEY             1005
#define IDC_BTN_SELECT_SERVER       1007
#define IDC_BTN_MAXIMIZE            1008
#define IDC_BTN_UNUSED_1011         1011
#define IDC_BTN_UNUSED_1017         1017
#define IDC_BTN_REFRESH             1021
#define IDC_BTN_CLEAR_CACHE         1030
#define IDC_STATIC_UNUSED_1031      1031
// Start window (103) and login popup (1015)
#define IDC_POPUP_BTN_1016          1016
#define IDC_POPUP_BTN_1027          1027
// Message box (164): IDOK (1), IDCANCEL (2) and its close button
#define IDC_MSGBOX_CLOSE            1001
// Child-window id of the game view in its host
#define IDC_GAME_VIEW               10000

// ---- Commands ----------------------------------------------------------------------------------
#define ID_TRAY_TOGGLE_SHOW         32775
#define ID_TRAY_CLEAR_CACHE         32776
#define ID_TRAY_EXIT                32777
#define ID_ACCEL_F5                 32778
#define ID_TRAY_MUTE                32782
#define IDM_NAVIGATE_STARTED        10001  // login browser -> popup: g_strNavigateUrl holds the URL
#define IDM_CACHE_CLEANED           10002  // cleaning worker -> main window

// ---- Menus, accelerators, icons, bitmaps, archives ---------------------------------------------
#define IDR_TRAY_MENU               151
#define IDR_ACCELERATOR             303
#define IDR_SETTINGS_ZIP            269    // type "ZIP": default systemset.ini and uninstall.ico
#define IDR_UPDATE_KEY              270    // RCDATA: the update-signing public key, X||Y of P-256
#define IDI_APP                     273
#define IDB_POPUP_BACKGROUND        318    // 739 x 471, 24-bit

// ---- PNG skin images (type "PNG") --------------------------------------------------------------
#define IDB_STRIP_MIDDLE            172
#define IDB_STRIP_LEFT              203
#define IDB_STRIP_RIGHT             206
#define IDB_CLOSE                   207
#define IDB_CLOSE_HOVER             208
#define IDB_MINIMIZE                209
#define IDB_MINIMIZE_HOVER          210
#define IDB_SELECT_SERVER           211
#define IDB_SELECT_SERVER_HOVER     212
#define IDB_MAXIMIZE_HOVER          213
#define IDB_FULLSCREEN_HOVER        214
#define IDB_BOSSKEY_HOVER           215
#define IDB_RESTORE_HOVER           217
#define IDB_REFRESH_HOVER           219
#define IDB_MAXIMIZE                220
#define IDB_RESTORE                 221
#define IDB_BOSSKEY                 223
#define IDB_FULLSCREEN              224
#define IDB_REFRESH                 226
#define IDB_CLOSE_DOWN              227
#define IDB_MAXIMIZE_DOWN           228
#define IDB_RESTORE_DOWN            229
#define IDB_MINIMIZE_DOWN           230
#define IDB_SELECT_SERVER_DOWN      231
#define IDB_BOSSKEY_DOWN            233
#define IDB_FULLSCREEN_DOWN         234
#define IDB_REFRESH_DOWN            236
#define IDB_CLEAR_CACHE             252
#define IDB_CLEAR_CACHE_HOVER       253
#define IDB_CLEAR_CACHE_DOWN        261
#define IDB_MASK_TEXTURE            275
#define IDB_MASK_FRAME1             276
#define IDB_MASK_FRAME2             277
#define IDB_MASK_FRAME3             278
#define IDB_MASK_FRAME4             279
#define IDB_MSGBOX_BACKGROUND       304
#define IDB_MSGBOX_BTN_311          311
#define IDB_MSGBOX_BTN_312          312
#define IDB_MSGBOX_BTN_313          313
#define IDB_MSGBOX_BTN_314          314
#define IDB_MSGBOX_CLOSE            316
#define IDB_START_BACKGROUND        319
#define IDB_POPUP_BTN_320           320
#define IDB_POPUP_BTN_321           321
#define IDB_POPUP_BTN_322           322
#define IDB_POPUP_BTN_323           323
#define IDB_POPUP_BTN_324           324
#define IDB_POPUP_BTN_325           325
// Every PNG above also exists drawn at twice its size, for scaled displays, under its id + this.
#define IDB_2X_OFFSET               20000

// ---- String table ------------------------------------------------------------------------------
#define IDS_GAME_TITLE              102   // "Vantor"
#define IDS_PLATFORM_FOLDER         105   // start-menu folder
#define IDS_FIRST_START_URL         106   // no entry: nothing is fetched
#define IDS_CLIENT_NAME             107   // window titles, close prompts
#define IDS_UNINSTALL_LINK          109
#define IDS_LOGIN_URL               114
#define IDS_MASK_TEXT               116
#define IDS_GAME_CODE               117
#define IDS_TEMP_UPDATE_EXE         118
#define IDS_GAME_FOLDER_FRAGMENT    119
#define IDS_TEMP_UNINSTALL_EXE      120
#define IDS_PLATFORM_CODE           124
#define IDS_PLATFORM_PUBLISHER      125
#define IDS_VERSION_SERVER          191
#define IDS_VERSION_QUERY           192
#define IDS_SETTINGS_FILE           197
#define IDS_LINK_SUFFIX             500   // no entry: adds nothing to shortcut names
#define IDS_UNINSTALL_KEY           32779
#define IDS_SELECT_SERVER_SHOW      32780
#define IDS_DESKTOP_LINK_SWITCH     32781
