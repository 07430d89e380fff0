#pragma once
// Turning a captured picture into output: a bitmap cut from a surface, image files,
// and the save dialog that picks the file and its format.
#include <windows.h>

#include <functional>
#include <string>

#include "common/win/gdi.h"
#include "common/win/save_dialog.h"
#include "worker/save_naming.h"

namespace kestrow {

// Copies `rect` of `surface` into a new screen-compatible bitmap, clipped to the
// primary display. Empty when nothing is left to copy.
win::Bitmap CopyRegion(HDC surface, const RECT& rect);
// The same clipped to `bounds` (a snapshot of the whole virtual screen).
win::Bitmap CopyRegion(HDC surface, const RECT& rect, const RECT& bounds);

// The same with `draw` painting over the region first, in `surface`'s coordinates on a
// copy: the surface itself stays as it was, so the output can be made again.
win::Bitmap CopyRegionWith(HDC surface, const RECT& rect, const RECT& bounds,
                           const std::function<void(HDC)>& draw);

// Each returns whether the file was written completely. The file is written beside the
// target and replaces it only when complete; a device name is a failed write.
bool SaveAsBmp(HBITMAP bitmap, const std::wstring& path);
bool SaveAsJpeg(HBITMAP bitmap, const std::wstring& path);
bool SaveAsPng(HBITMAP bitmap, const std::wstring& path);
bool SaveImage(HBITMAP bitmap, const std::wstring& path, ImageFormat format);

// Asks for a file name and writes the bitmap there. A write that fails is reported
// to the user and the dialog is offered again, so the picture is not lost; so is a
// name too long for the dialog's buffer of `maxChars`, and any other failure of the
// dialog itself is reported before giving up. Returns true with `path` set once a file
// has been written; false when the user cancels or the dialog cannot be shown.
bool SaveWithDialog(HBITMAP bitmap, std::wstring& path, size_t maxChars = win::kLongestPath);

}  // namespace kestrow
