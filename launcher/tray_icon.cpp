#include "launcher/tray_icon.h"

#include <cstdio>
#include <cwchar>
#include <string>

#include "common/win/handles.h"

namespace kestrow {

namespace {

void SetBalloon(NOTIFYICONDATAW& data, const wchar_t* text) {
    data.uFlags |= NIF_INFO;
    std::wcsncpy(data.szInfoTitle, kBalloonTitle, ARRAYSIZE(data.szInfoTitle) - 1);
    std::wcsncpy(data.szInfo, text, ARRAYSIZE(data.szInfo) - 1);
    data.dwInfoFlags = NIIF_INFO;
    data.uTimeout = kBalloonTimeoutMs;
}

}  // namespace

CTrayIcon::CTrayIcon(UINT id, UINT callbackMessage, UINT flags, ShellNotifyFn notify)
    : id_(id), callbackMessage_(callbackMessage), flags_(flags), notify_(notify) {}

CTrayIcon::~CTrayIcon() { Delete(); }

// The version-3 layout (952 bytes), which every shell since XP reads.
NOTIFYICONDATAW CTrayIcon::Record() const {
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V3_SIZE;
    data.hWnd = owner_;
    data.uID = id_;
    data.uFlags = flags_;
    data.uCallbackMessage = callbackMessage_;
    data.hIcon = icon_;
    data.uTimeout = 12000;
    return data;
}

bool CTrayIcon::AddRecord(NOTIFYICONDATAW& data, bool modifyFirst) {
    wanted_ = true;
    if (modifyFirst) return notify_(NIM_MODIFY, &data) || notify_(NIM_ADD, &data);
    return notify_(NIM_ADD, &data) || notify_(NIM_MODIFY, &data);
}

bool CTrayIcon::Add(HWND owner, HICON icon) {
    owner_ = owner;
    icon_ = icon;
    NOTIFYICONDATAW data = Record();
    return AddRecord(data, true);
}

bool CTrayIcon::AddWithBalloon(HWND owner, HICON icon, const wchar_t* text) {
    owner_ = owner;
    icon_ = icon;
    NOTIFYICONDATAW data = Record();
    SetBalloon(data, text);
    return AddRecord(data, false);
}

bool CTrayIcon::ShowBalloon(const wchar_t* text) {
    if (!wanted_) return false;
    NOTIFYICONDATAW data = Record();
    data.uFlags = 0;
    SetBalloon(data, text);
    return notify_(NIM_MODIFY, &data) != FALSE;
}

BOOL WINAPI TracedShellNotify(DWORD message, PNOTIFYICONDATAW record) {
    const BOOL ok = ::Shell_NotifyIconW(message, record);
    const NOTIFYICONDATAW& data = *record;
    wchar_t path[MAX_PATH];
    const DWORD n = ::GetEnvironmentVariableW(L"KESTROW_TRAY_TRACE", path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return ok;
    std::wstring line = std::to_wstring(message) + L" " + std::to_wstring(data.uID) + L" ";
    wchar_t flags[16];
    std::swprintf(flags, 16, L"%x ", data.uFlags);
    line += flags;
    for (const wchar_t* p :
         {static_cast<const wchar_t*>(data.szInfoTitle), L"|", static_cast<const wchar_t*>(data.szInfo)})
        for (; *p; ++p) line += *p == L'\r' ? L"\\r" : *p == L'\n' ? L"\\n" : std::wstring(1, *p);
    line += L"\n";
    const int bytes =
        ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), int(line.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(size_t(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), int(line.size()), utf8.data(), bytes, nullptr, nullptr);
    win::UniqueFile file(::CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return ok;
    DWORD written = 0;
    ::WriteFile(file.Get(), utf8.data(), DWORD(utf8.size()), &written, nullptr);
    return ok;
}

void CTrayIcon::Delete() {
    if (!wanted_) return;
    wanted_ = false;
    NOTIFYICONDATAW data = Record();
    data.uFlags = 0;
    notify_(NIM_DELETE, &data);
}

bool CTrayIcon::Restore() {
    if (!wanted_) return false;
    NOTIFYICONDATAW data = Record();
    return AddRecord(data, false);
}

UINT TaskbarCreatedMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

}  // namespace kestrow
