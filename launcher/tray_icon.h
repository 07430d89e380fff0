#pragma once
// One notification-area icon of the launcher: added, changed, given a balloon, deleted,
// and added again when the shell's task bar comes back after a restart.
#include <windows.h>

#include <shellapi.h>

namespace kestrow {

inline constexpr wchar_t kBalloonTitle[] = L"Lumetto截屏取图";
inline constexpr wchar_t kFirstRunBalloonText[] = L"要截屏请点击此图标，\r\n点击汽泡可以屏蔽此通知!";
inline constexpr wchar_t kUpdateBalloonText[] = L"Lumetto截屏取图有新版本了，点击汽泡可以更新!";
inline constexpr UINT kBalloonTimeoutMs = 10000;

// The shell's icon call; tests pass a recorder, since Wine shows no balloons.
using ShellNotifyFn = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAW data);

// The shell's icon call that the launcher uses. When the environment variable
// KESTROW_TRAY_TRACE names a file, each call is also appended to it as one UTF-8 line,
// "<message> <icon id> <flags, hex> <title>|<text>" with line breaks as \r and \n:
// the shells that the end-to-end tests run under show no balloons.
BOOL WINAPI TracedShellNotify(DWORD message, PNOTIFYICONDATAW data);

class CTrayIcon {
public:
    // `flags` are the record's base flags (NIF_MESSAGE, NIF_ICON, NIF_TIP) that every
    // add and re-add carries.
    CTrayIcon(UINT id, UINT callbackMessage, UINT flags, ShellNotifyFn notify = &TracedShellNotify);
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;
    // Deletes the icon if it is wanted, so none outlives its owner.
    ~CTrayIcon();

    // Asks the shell to change the icon, or to add it when it has none. The icon
    // counts as wanted from here on even when the shell refused, so a shell that
    // starts later gets it through Restore.
    bool Add(HWND owner, HICON icon);
    // Adds the icon with a balloon in the same call (changes it when it is there already).
    bool AddWithBalloon(HWND owner, HICON icon, const wchar_t* text);
    // Shows a balloon (title kBalloonTitle, info icon, 10 s) on the wanted icon.
    bool ShowBalloon(const wchar_t* text);
    // Deletes the icon; nothing happens when it isn't wanted.
    void Delete();
    // Adds the wanted icon again (the task bar was recreated); nothing otherwise.
    bool Restore();

private:
    NOTIFYICONDATAW Record() const;
    bool AddRecord(NOTIFYICONDATAW& data, bool modifyFirst);

    UINT id_;
    UINT callbackMessage_;
    UINT flags_;
    ShellNotifyFn notify_;
    HWND owner_ = nullptr;
    HICON icon_ = nullptr;
    bool wanted_ = false;
};

// The registered message the shell broadcasts when its task bar is (re)created.
UINT TaskbarCreatedMessage();

}  // namespace kestrow
