#pragma once
// Where a captured picture goes: the clipboard or a file chosen in the save dialog,
// and the result message that tells the launcher. The overlay's actions and the
// whole-screen tasks both go through here.
#include <windows.h>

#include <optional>

#include "common/result_message.h"
#include "common/win/gdi.h"

namespace kestrow {

// Copies `width` x `height` of the screen DC `screen` from (x, y) to (0, 0) of `to`.
void GrabScreen(HDC screen, HDC to, int x, int y, int width, int height);

// The primary display as a bitmap, or none.
win::Bitmap CapturePrimaryScreen();

// How long a copy waits for a clipboard that another program holds open.
inline constexpr DWORD kClipboardPatienceMs = 1000;
// What the user is told when it stayed busy; the capture stays for another try.
inline constexpr wchar_t kClipboardBusyText[] = L"剪贴板正被其他程序占用，复制失败，请稍后重试。";

// Puts the bitmap on the clipboard as CF_BITMAP, opened for `owner`, or for a
// message-only window of its own when `owner` is null. Once the clipboard has taken
// it, sends `report` (payload 0) when given. True when the copy was made; when the
// clipboard cannot be opened its contents are left alone.
bool OutputToClipboard(win::Bitmap bitmap, HWND owner, std::optional<ResultCode> report = std::nullopt);

// Empties the open clipboard and hands it the bitmap as CF_BITMAP. True when it took it.
bool PutOnClipboard(win::Bitmap bitmap, const win::ClipboardSession& clipboard);

// Runs the save dialog on the bitmap and, when a file was written, sends `report` with
// its path. False when there is no bitmap or the dialog was cancelled.
bool OutputToFile(HBITMAP bitmap, ResultCode report);

}  // namespace kestrow
