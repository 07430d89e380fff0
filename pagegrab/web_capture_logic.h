#pragma once
// The platform-free rules of the web page grab: what address is navigated to, the
// proposed file name, and how the whole-page bitmap file is laid out.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kestrow::pagegrab {

// Posted by the view to its parent; lParam is the load result.
constexpr unsigned WM_BROWSER_NOTIFY = 0x0400 + 231;  // WM_USER + 231 = 1255
constexpr long LOAD_OK = 200;
constexpr long LOAD_TIMEOUT = 1000;
// The view reports at once when it has no browser to navigate with; the dialog shows
// its own text for it rather than the text of a failed site.
constexpr long LOAD_NO_BROWSER = -1;

// The address box holds at most this many characters of what was typed.
constexpr size_t kMaxAddressLength = 509;

// The address to navigate to for the typed text (already cut to kMaxAddressLength):
// "http://" goes in front of a text of 6 characters or more that begins with neither
// "http://" nor "https://" (in any case) and that names no existing file or folder.
std::wstring NormalizeAddress(std::wstring_view typed,
                              const std::function<bool(const std::wstring&)>& pathExists);

// "网页截图_%d-%d-%d_%d点%d分%d秒", numbers without leading zeros.
std::wstring SaveFileName(int year, int month, int day, int hour, int minute, int second);

// True when the chosen file name asks for PNG (extension ".png", any case).
bool WantsPng(std::wstring_view path);

// The settings button's text says which way the next press goes: ">>" after its first
// character means the dialog is narrowed now.
bool IsNarrowed(std::wstring_view toggleText);

// The settings button widens or narrows the dialog by 142 pixels where the dialog's
// font gives 6 pixels per 4 horizontal dialog units, and by as much more as the font
// (the DPI, or the system's stand-in for the font) makes the dialog wider.
int SettingsStep(int dialogBaseUnitX);

// File bits per pixel for a display of `displayBits` (bits per pixel times planes).
int FileBitsPerPixel(int displayBits);

// Sizes of an uncompressed bottom-up bitmap file. Empty when the picture cannot be
// held by the format: no pixels, or a file larger than its 32-bit size fields.
struct BitmapFileLayout {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    uint32_t colorTableBytes = 0;  // P
    uint32_t rowBytes = 0;         // each row padded to 4 bytes
    uint32_t pixelBytes = 0;       // S
    uint32_t pixelOffset = 0;      // 54 + P
    uint32_t fileSize = 0;         // 54 + P + S

    // Byte offset in the file of the row `y` counted from the top of the picture.
    uint64_t RowOffset(int y) const { return pixelOffset + uint64_t(height - 1 - y) * rowBytes; }
};
std::optional<BitmapFileLayout> LayoutBitmapFile(int width, int height, int bitsPerPixel);

// Rows per band when a page is drawn and written a band at a time, so that one band
// of 32-bit pixels stays within `budgetBytes`; at least one row.
int BandRows(int width, int height, uint64_t budgetBytes);

// Status texts of the dialog.
namespace text {
inline constexpr wchar_t kOpened[] = L"请在上面的输入框中输入网址，并点击【开始网页截图】以完成截图！";
inline constexpr wchar_t kRequesting[] = L"正在请求网页，可能需要数秒才能完成...";
inline constexpr wchar_t kLoaded[] = L"网页加载成功!开始准备保存为本地图片...";
inline constexpr wchar_t kTimeout[] = L"请求超时，请检查您的网络。截图失败！";
inline constexpr wchar_t kBadSite[] = L"您所请求的网址不正确或您所请求的网站当前工作不正常！";
inline constexpr wchar_t kSaved[] = L"截图成功!";
inline constexpr wchar_t kCancelled[] = L"您取消了保存网页为本地图片。";
inline constexpr wchar_t kNoBrowser[] = L"无法创建浏览器组件，不能加载网页。截图失败！";
inline constexpr wchar_t kNothingDrawn[] = L"网页没有可保存的内容，截图失败！";
inline constexpr wchar_t kTooLarge[] = L"网页太大，无法保存为一张图片。截图失败！";
inline constexpr wchar_t kNoRoom[] =
    L"所选位置的磁盘空间不足，放不下这张网页图片。请换一个位置再保存。截图失败！";
inline constexpr wchar_t kWriteFailed[] = L"无法写入所选的文件，网页图片没有保存。截图失败！";
// The start button while a page is written: pressing it stops the save.
inline constexpr wchar_t kStart[] = L"开始网页截图";
inline constexpr wchar_t kStopSaving[] = L"取消保存";
inline constexpr wchar_t kEmptyAddress[] = L"请输入Http地址先!";
inline constexpr wchar_t kCaption[] = L"网页截屏器";
}  // namespace text

// The status when the save dialog itself failed (not cancelled), with its error code.
std::wstring SaveDialogFailedText(unsigned long errorCode);

// "正在保存网页图片... 45%" while a large page is written.
std::wstring SavingProgressText(int64_t rowsDone, int64_t rowsTotal);

}  // namespace kestrow::pagegrab
