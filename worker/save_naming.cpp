#include "worker/save_naming.h"

#include <algorithm>

#include "common/text.h"

namespace kestrow {

std::wstring DefaultFileName(int year, int month, int day, int hour, int minute, int second) {
    using std::to_wstring;
    return L"截图_" + to_wstring(year) + L"-" + to_wstring(month) + L"-" + to_wstring(day) + L"_" +
           to_wstring(hour) + L"点" + to_wstring(minute) + L"分" + to_wstring(second) + L"秒";
}

ImageFormat FormatForPath(std::wstring_view path) {
    if (path.size() < 5) return ImageFormat::Bmp;
    const size_t sep = path.find_last_of(L"\\/");
    const std::wstring_view name = sep == std::wstring_view::npos ? path : path.substr(sep + 1);
    const size_t dot = name.rfind(L'.');
    if (dot == std::wstring_view::npos) return ImageFormat::Jpeg;
    const std::wstring_view ext = name.substr(dot);
    if (EqualsNoCase(ext, L".bmp")) return ImageFormat::Bmp;
    if (EqualsNoCase(ext, L".png")) return ImageFormat::Png;
    return ImageFormat::Jpeg;
}

std::optional<Rect> ClampCopyRect(const Rect& requested, const Rect& bounds) {
    if (requested.IsEmpty()) return std::nullopt;
    Rect r;
    r.left = std::max(requested.left, bounds.left);
    r.top = std::max(requested.top, bounds.top);
    r.right = std::min(bounds.right, requested.right);
    r.bottom = std::min(bounds.bottom, requested.bottom);
    if (r.IsEmpty()) return std::nullopt;
    return r;
}

std::optional<Rect> ClampCopyRect(const Rect& requested, int displayWidth, int displayHeight) {
    return ClampCopyRect(requested, Rect{0, 0, displayWidth, displayHeight});
}

}  // namespace kestrow
