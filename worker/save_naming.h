#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "common/geometry.h"

namespace kestrow {

enum class ImageFormat { Bmp, Jpeg, Png };

// "截图_%d-%d-%d_%d点%d分%d秒" from local date and time, no leading zeros.
std::wstring DefaultFileName(int year, int month, int day, int hour, int minute, int second);

// The encoder a confirmed save path is written with: by the extension of its last
// component, BMP for very short names, JPEG for anything unrecognised.
ImageFormat FormatForPath(std::wstring_view path);

// The part of `requested` that a region copy takes from a display of the given size:
// negative origins start at 0 and nothing reaches past the display. None when empty.
std::optional<Rect> ClampCopyRect(const Rect& requested, int displayWidth, int displayHeight);
// The same inside any bounds (the snapshot of the whole virtual screen).
std::optional<Rect> ClampCopyRect(const Rect& requested, const Rect& bounds);

}  // namespace kestrow
