#include "launcher/tray_icon.h"

#include <cwchar>

#include "launcher/launcher_ids.h"

namespace kestrow {

namespace {

NOTIFYICONDATAW Record(HWND owner, UINT id) {
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V3_SIZE;
    data.hWnd = owner;
    data.uID = id;
    return data;
}

void SetBalloon(NOTIFYICONDATAW& data, const wchar_t* text) {
    data.uFlags |= NIF_INFO;
    std::wcsncpy(data.szInfoTitle, kBalloonTitle, ARRAYSIZE(data.szInfoTitle) - 1);
    std::wcsncpy(data.szInfo, text, ARRAYSIZE(data.szInfo) - 1);
    data.dwInfoFlags = NIIF_INFO;
    data.uTimeout = kBalloonTimeoutMs;
}

}  // namespace

NOTIFYICONDATAW MainTrayIconData(HWND owner, HICON icon) {
    NOTIFYICONDATAW data = Record(owner, TRAY_ID_MAIN);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_TRAY_NOTIFY;
    data.hIcon = icon;
    data.uTimeout = 12000;
    data.dwInfoFlags = 0;
    return data;
}

void AddMainTrayIcon(const NOTIFYICONDATAW& data) {
    NOTIFYICONDATAW copy = data;
    if (!::Shell_NotifyIconW(NIM_MODIFY, &copy)) ::Shell_NotifyIconW(NIM_ADD, &copy);
}

void DeleteTrayIcon(HWND owner, UINT id) {
    NOTIFYICONDATAW data = Record(owner, id);
    ::Shell_NotifyIconW(NIM_DELETE, &data);
}

void ShowFirstRunBalloon(HWND owner) {
    NOTIFYICONDATAW data = Record(owner, TRAY_ID_MAIN);
    data.uFlags = 0;
    SetBalloon(data, kFirstRunBalloonText);
    ::Shell_NotifyIconW(NIM_MODIFY, &data);
}

void ShowUpdateBalloon(HWND owner, HICON icon) {
    NOTIFYICONDATAW data = Record(owner, TRAY_ID_UPDATE);
    data.uFlags = NIF_MESSAGE | NIF_ICON;
    data.uCallbackMessage = WM_UPDATE_BALLOON_NOTIFY;
    data.hIcon = icon;
    SetBalloon(data, kUpdateBalloonText);
    ::Shell_NotifyIconW(NIM_ADD, &data);
}

}  // namespace kestrow
