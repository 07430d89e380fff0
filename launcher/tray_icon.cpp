#include "launcher/tray_icon.h"

#include <cwchar>

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
