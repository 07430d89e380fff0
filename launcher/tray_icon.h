#pragma once
// The launcher's notification-area icons and balloons.
#include <windows.h>

#include <shellapi.h>

namespace kestrow {

inline constexpr wchar_t kBalloonTitle[] = L"Lumetto截屏取图";
inline constexpr wchar_t kFirstRunBalloonText[] =
    L"要截屏请点击此图标，\r\n点击汽泡可以屏蔽此通知!";
inline constexpr wchar_t kUpdateBalloonText[] = L"Lumetto截屏取图有新版本了，点击汽泡可以更新!";
inline constexpr UINT kBalloonTimeoutMs = 10000;

// The permanent icon's record (id 206, WM_TRAY_NOTIFY, no tip) in the version-3 layout.
NOTIFYICONDATAW MainTrayIconData(HWND owner, HICON icon);

// Modifies the permanent icon, or adds it when the shell doesn't have it yet.
void AddMainTrayIcon(const NOTIFYICONDATAW& data);
void DeleteTrayIcon(HWND owner, UINT id);

// The first-run hint on the permanent icon.
void ShowFirstRunBalloon(HWND owner);
// Any other notice as a balloon on the permanent icon (longer texts are cut).
void ShowTrayBalloon(HWND owner, const wchar_t* text);

// Every balloon goes through here to the shell. When the environment variable
// KESTROW_TRAY_TRACE names a file, each call is also appended to it as one UTF-8 line,
// "<message> <icon id> <flags, hex> <title>|<text>" with line breaks as \r and \n:
// the shells that tests run under show no balloons.
BOOL NotifyTrayIcon(DWORD message, NOTIFYICONDATAW& data);
// Adds the temporary icon 207 whose balloon announces a new version.
void ShowUpdateBalloon(HWND owner, HICON icon);

}  // namespace kestrow
