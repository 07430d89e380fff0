#include "launcher/tray_icon.h"

#include <cstdio>
#include <cwchar>
#include <string>

#include "common/win/handles.h"
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

void ShowFirstRunBalloon(HWND owner) { ShowTrayBalloon(owner, kFirstRunBalloonText); }

void ShowTrayBalloon(HWND owner, const wchar_t* text) {
    NOTIFYICONDATAW data = Record(owner, TRAY_ID_MAIN);
    data.uFlags = 0;
    SetBalloon(data, text);
    NotifyTrayIcon(NIM_MODIFY, data);
}

BOOL NotifyTrayIcon(DWORD message, NOTIFYICONDATAW& data) {
    const BOOL ok = ::Shell_NotifyIconW(message, &data);
    wchar_t path[MAX_PATH];
    const DWORD n = ::GetEnvironmentVariableW(L"KESTROW_TRAY_TRACE", path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return ok;
    std::wstring line = std::to_wstring(message) + L" " + std::to_wstring(data.uID) + L" ";
    wchar_t flags[16];
    std::swprintf(flags, 16, L"%x ", data.uFlags);
    line += flags;
    for (const wchar_t* p : {static_cast<const wchar_t*>(data.szInfoTitle), L"|",
                             static_cast<const wchar_t*>(data.szInfo)})
        for (; *p; ++p) line += *p == L'\r' ? L"\\r" : *p == L'\n' ? L"\\n" : std::wstring(1, *p);
    line += L"\n";
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), int(line.size()), nullptr, 0,
                                            nullptr, nullptr);
    std::string utf8(size_t(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), int(line.size()), utf8.data(), bytes, nullptr,
                          nullptr);
    win::UniqueFile file(::CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return ok;
    DWORD written = 0;
    ::WriteFile(file.Get(), utf8.data(), DWORD(utf8.size()), &written, nullptr);
    return ok;
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
