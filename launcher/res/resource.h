#pragma once
// Resource and menu command ids of KestrowCapture.exe, for the resource script and the
// code alike (private messages, tray and hotkey ids are in launcher/launcher_ids.h).
#define IDI_APP 128
#define IDD_MAIN 129
#define IDR_TRAY_MENU 201
#define ID_TRAY_SCREENCAPTURE 32780
#define ID_TRAY_COLORCAPTURE 32781
#define ID_TRAY_EXIT 32783
#define ID_TRAY_FULLSCREEN_FILE 32787
#define ID_TRAY_FULLSCREEN_CLIPBOARD 32788
#define ID_TRAY_ABOUT 32790
#define ID_TRAY_WEBCAPTURE 32792
#define ID_TRAY_SETTINGS 32794
#define ID_TRAY_FEEDBACK 32796
#define ID_TRAY_WINDOWCAPTURE 32798
