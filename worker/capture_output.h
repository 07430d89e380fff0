#pragma once
// Where a captured picture goes: the clipboard or a file chosen in the save dialog,
// and the result message that tells the launcher. The overlay's actions and the
// whole-screen tasks both go through here.
#include <windows.h>

#include <optional>

#include "common/result_message.h"
#include "common/win/gdi.h"

namespace kestrow {

// The primary display as a bitmap, or none.
win::Bitmap CapturePrimaryScreen();

// Puts the bitmap on the clipboard as CF_BITMAP, opened for `owner`. Once the clipboard
// has taken it, sends `report` (payload 0) when given. True when the copy was made.
bool OutputToClipboard(win::Bitmap bitmap, HWND owner, std::optional<ResultCode> report = std::nullopt);

// Runs the save dialog on the bitmap and, when a file was written, sends `report` with
// its path. False when there is no bitmap or the dialog was cancelled.
bool OutputToFile(HBITMAP bitmap, ResultCode report);

}  // namespace kestrow
