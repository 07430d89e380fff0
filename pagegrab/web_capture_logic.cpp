#include "pagegrab/web_capture_logic.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace kestrow::pagegrab {

namespace {
bool StartsWithIgnoringCase(std::wstring_view text, std::wstring_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::towlower(text[i]) != std::wint_t(prefix[i])) return false;
    return true;
}

bool HasWebScheme(std::wstring_view text) {
    return StartsWithIgnoringCase(text, L"http://") || StartsWithIgnoringCase(text, L"https://");
}
}  // namespace

std::wstring NormalizeAddress(std::wstring_view typed,
                              const std::function<bool(const std::wstring&)>& pathExists) {
    std::wstring address(typed.substr(0, kMaxAddressLength));
    if (address.size() >= 6 && !HasWebScheme(address) && !(pathExists && pathExists(address)))
        address.insert(0, L"http://");
    return address;
}

std::wstring SaveFileName(int year, int month, int day, int hour, int minute, int second) {
    return L"网页截图_" + std::to_wstring(year) + L"-" + std::to_wstring(month) + L"-" +
           std::to_wstring(day) + L"_" + std::to_wstring(hour) + L"点" + std::to_wstring(minute) + L"分" +
           std::to_wstring(second) + L"秒";
}

bool WantsPng(std::wstring_view path) {
    if (path.size() < 4) return false;
    std::wstring_view ext = path.substr(path.size() - 4);
    auto is = [](wchar_t c, wchar_t lower) { return std::towlower(c) == std::wint_t(lower); };
    return ext[0] == L'.' && is(ext[1], L'p') && is(ext[2], L'n') && is(ext[3], L'g');
}

bool IsNarrowed(std::wstring_view toggleText) {
    const size_t at = toggleText.find(L">>");
    return at != std::wstring_view::npos && at > 0;
}

int SettingsStep(int dialogBaseUnitX) {
    constexpr int kStep = 142, kBaseUnitX = 6;
    if (dialogBaseUnitX <= 0) return kStep;
    return int((int64_t(kStep) * dialogBaseUnitX + kBaseUnitX / 2) / kBaseUnitX);
}

int FileBitsPerPixel(int displayBits) {
    if (displayBits <= 1) return 1;
    if (displayBits <= 4) return 4;
    if (displayBits <= 8) return 8;
    if (displayBits <= 24) return 24;
    return 32;
}

std::optional<BitmapFileLayout> LayoutBitmapFile(int width, int height, int bitsPerPixel) {
    if (width <= 0 || height <= 0) return std::nullopt;
    BitmapFileLayout l;
    l.width = width;
    l.height = height;
    l.bitsPerPixel = FileBitsPerPixel(bitsPerPixel);
    // 64-bit arithmetic: width × bits and rows × height overflow 32 bits long before
    // a page is absurdly large.
    const uint64_t colorTable = l.bitsPerPixel <= 8 ? 4ull << l.bitsPerPixel : 0;
    const uint64_t row = (uint64_t(l.bitsPerPixel) * uint64_t(width) + 31) / 32 * 4;
    const uint64_t pixels = row * uint64_t(height);
    const uint64_t file = 54 + colorTable + pixels;
    if (file > UINT32_MAX) return std::nullopt;
    l.colorTableBytes = uint32_t(colorTable);
    l.rowBytes = uint32_t(row);
    l.pixelBytes = uint32_t(pixels);
    l.pixelOffset = uint32_t(54 + colorTable);
    l.fileSize = uint32_t(file);
    return l;
}

int BandRows(int width, int height, uint64_t budgetBytes) {
    if (width <= 0 || height <= 0) return 1;
    const uint64_t rows = budgetBytes / (uint64_t(width) * 4);
    if (rows < 1) return 1;
    return rows >= uint64_t(height) ? height : int(rows);
}

std::wstring SaveDialogFailedText(unsigned long errorCode) {
    wchar_t code[16];
    std::swprintf(code, 16, L"0x%04lX", errorCode);
    return std::wstring(L"无法打开保存对话框（错误代码 ") + code + L"），网页图片没有保存。截图失败！";
}

std::wstring SavingProgressText(int64_t rowsDone, int64_t rowsTotal) {
    int64_t percent = 100;
    if (rowsTotal > 0) {
        int64_t done = std::clamp<int64_t>(rowsDone, 0, rowsTotal), total = rowsTotal;
        // done × 100 must not overflow: counts that large lose a little precision instead.
        while (total > INT64_MAX / 100) done /= 2, total /= 2;
        percent = done * 100 / total;
    }
    return L"正在保存网页图片... " + std::to_wstring(percent) + L"%";
}

}  // namespace kestrow::pagegrab
