#pragma once
// Numbers the launcher's parts share: private messages of the main dialog, its timer,
// tray icon and hotkey ids. Plain integers so the logic can use them without <windows.h>.
// Resource and menu command ids live in launcher/res/resource.h only.

namespace kestrow {

inline constexpr unsigned kWmUser = 0x0400;
inline constexpr unsigned WM_TRAY_NOTIFY = kWmUser + 100;                // 1124
inline constexpr unsigned WM_FULLSCREEN_CLIPBOARD_DONE = kWmUser + 101;  // 1125
inline constexpr unsigned WM_NEW_VERSION = kWmUser + 103;                // 1127
inline constexpr unsigned WM_UPDATE_BALLOON_NOTIFY = kWmUser + 104;      // 1128
inline constexpr unsigned WM_HOTKEYS_CHANGED = kWmUser + 105;            // 1129
inline constexpr unsigned WM_STARTUP_DONE = kWmUser + 106;               // 1130
// Posted by the watcher of the interactive worker when it has ended.
inline constexpr unsigned WM_INTERACTIVE_TASK_DONE = kWmUser + 120;  // 1144
// The result receiver's own: reactions to results it has answered, run one at a time.
inline constexpr unsigned WM_RESULT_PENDING = kWmUser + 121;  // 1145
// The worker woken from waiting has its window on screen.
inline constexpr unsigned WM_STANDBY_SHOWN = kWmUser + 122;  // 1146
// From the result receiver: the worker whose process id is in wParam has no overlay
// any more and lives on as a pinned picture.
inline constexpr unsigned WM_OVERLAY_GONE = kWmUser + 123;  // 1147

inline constexpr unsigned TIMER_UPDATE_CHECK = 100;
inline constexpr unsigned kUpdateCheckDelayMs = 10000;
// Starting the waiting worker once start-up is over, and the deadline of a woken one.
inline constexpr unsigned TIMER_STANDBY_START = 101;
inline constexpr unsigned TIMER_STANDBY_DEADLINE = 102;

inline constexpr unsigned TRAY_ID_MAIN = 206;
inline constexpr unsigned TRAY_ID_UPDATE = 207;

inline constexpr unsigned HOTKEY_ID_SCREENCAPTURE = 1568;
inline constexpr unsigned HOTKEY_ID_FULLSCREEN_FILE = 1569;
inline constexpr unsigned HOTKEY_ID_FULLSCREEN_CLIPBOARD = 1570;
inline constexpr unsigned HOTKEY_ID_COLORCAPTURE = 1571;

}  // namespace kestrow
