#pragma once
// Numbers the launcher's parts share: private messages of the main dialog, tray ids,
// resource and command ids. Plain integers so the logic can use them without <windows.h>.

namespace kestrow {

inline constexpr unsigned kWmUser = 0x0400;
inline constexpr unsigned WM_TRAY_NOTIFY = kWmUser + 100;                // 1124
inline constexpr unsigned WM_FULLSCREEN_CLIPBOARD_DONE = kWmUser + 101;  // 1125
inline constexpr unsigned WM_NEW_VERSION = kWmUser + 103;                // 1127
inline constexpr unsigned WM_UPDATE_BALLOON_NOTIFY = kWmUser + 104;      // 1128
inline constexpr unsigned WM_HOTKEYS_CHANGED = kWmUser + 105;            // 1129
inline constexpr unsigned WM_STARTUP_DONE = kWmUser + 106;               // 1130

inline constexpr unsigned TIMER_UPDATE_CHECK = 100;
inline constexpr unsigned kUpdateCheckDelayMs = 10000;

inline constexpr unsigned TRAY_ID_MAIN = 206;
inline constexpr unsigned TRAY_ID_UPDATE = 207;

inline constexpr int IDD_MAIN = 129;
inline constexpr int IDR_TRAY_MENU = 201;
inline constexpr int IDI_APP_ICON = 128;
inline constexpr int IDD_SETTINGS = 202;
inline constexpr int IDD_SETTING_HOTKEYS = 203;
inline constexpr int IDD_SETTING_COMMON = 204;
inline constexpr unsigned IDR_SPLASH_PNG = 207;

// Settings dialog controls: the tab control, then each page's (ids repeat across pages).
inline constexpr int IDC_SETTING_TABS = 1003;
inline constexpr int IDC_AUTORUN = 1005;
inline constexpr int IDC_AUTO_OPEN = 1004;
inline constexpr int IDC_SHOW_STARTUP_SCREEN = 1007;
// The four hotkey controls, in the order of kHotkeyKeys.
inline constexpr int kHotkeyControlIds[] = {1002, 1003, 1004, 1005};

// Tray menu commands.
inline constexpr unsigned ID_TRAY_SCREENCAPTURE = 32780;
inline constexpr unsigned ID_TRAY_COLORCAPTURE = 32781;
inline constexpr unsigned ID_TRAY_EXIT = 32783;
inline constexpr unsigned ID_TRAY_FULLSCREEN_FILE = 32787;
inline constexpr unsigned ID_TRAY_FULLSCREEN_CLIPBOARD = 32788;
inline constexpr unsigned ID_TRAY_ABOUT = 32790;
inline constexpr unsigned ID_TRAY_WEBCAPTURE = 32792;
inline constexpr unsigned ID_TRAY_SETTINGS = 32794;
inline constexpr unsigned ID_TRAY_FEEDBACK = 32796;
inline constexpr unsigned ID_TRAY_WINDOWCAPTURE = 32798;

inline constexpr unsigned HOTKEY_ID_SCREENCAPTURE = 1568;
inline constexpr unsigned HOTKEY_ID_FULLSCREEN_FILE = 1569;
inline constexpr unsigned HOTKEY_ID_FULLSCREEN_CLIPBOARD = 1570;
inline constexpr unsigned HOTKEY_ID_COLORCAPTURE = 1571;

}  // namespace kestrow
