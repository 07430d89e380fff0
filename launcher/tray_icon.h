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
// Adds the temporary icon 207 whose balloon announces a new version.
void ShowUpdateBalloon(HWND owner, HICON icon);

}  // namespace kestrow
