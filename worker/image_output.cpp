#include "worker/image_output.h"

#include <commdlg.h>
#include <gdiplus.h>

#include <memory>
#include <vector>

#include "common/win/files.h"
#include "common/win/image_encoder.h"
#include "common/win/save_dialog.h"

namespace kestrow {
namespace {

constexpr int kMaxPath = 260;  // 259 characters and the terminator

bool SaveWithEncoder(HBITMAP bitmap, const std::wstring& path, const wchar_t* mime) {
    CLSID clsid;
    if (!bitmap || !win::FindImageEncoder(mime, clsid)) return false;
    const bool existed = win::FileExists(path);
    Gdiplus::Bitmap image(bitmap, nullptr);
    if (image.GetLastStatus() != Gdiplus::Ok) return false;
    const bool ok = image.Save(path.c_str(), &clsid, nullptr) == Gdiplus::Ok;
    // A half-written new file would look like a capture that is not there.
    if (!ok && !existed) ::DeleteFileW(path.c_str());
    return ok;
}

std::wstring LocalDefaultFileName() {
    SYSTEMTIME t;
    ::GetLocalTime(&t);
    return DefaultFileName(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
}

// The save dialog; returns false when cancelled.
bool AskSavePath(const std::wstring& proposed, std::wstring& chosen) {
    static const wchar_t kFilter[] =
        L"PNG 图片(*.png)\0*.png\0BMP 图片(*.bmp)\0*.bmp\0JPEG 图片(*.jpg)\0*.jpg\0";
    chosen = win::AskSaveFileName(proposed, kFilter, L"bmp", kMaxPath);
    return !chosen.empty();
}

std::wstring LastComponent(const std::wstring& path) {
    const size_t sep = path.find_last_of(L"\\/");
    return sep == std::wstring::npos ? path : path.substr(sep + 1);
}

}  // namespace

win::Bitmap CopyRegion(HDC surface, const RECT& rect) {
    return CopyRegion(surface, rect,
                      RECT{0, 0, ::GetDeviceCaps(surface, HORZRES), ::GetDeviceCaps(surface, VERTRES)});
}

win::Bitmap CopyRegion(HDC surface, const RECT& rect, const RECT& bounds) {
    const auto area = ClampCopyRect({rect.left, rect.top, rect.right, rect.bottom},
                                    Rect{bounds.left, bounds.top, bounds.right, bounds.bottom});
    if (!area) return {};
    // Compatible with the screen, not with the surface: a surface holding a DIB section
    // would give a DIB section, which is not a device-dependent bitmap for the clipboard.
    win::WindowDC screen(nullptr);
    win::Bitmap bitmap(::CreateCompatibleBitmap(screen.Get(), area->Width(), area->Height()));
    win::MemoryDC dc(::CreateCompatibleDC(surface));
    if (!bitmap || !dc) return {};
    {
        win::ScopedSelect select(dc.Get(), bitmap.Get());
        if (!::BitBlt(dc.Get(), 0, 0, area->Width(), area->Height(), surface, area->left, area->top, SRCCOPY))
            return {};
    }
    return bitmap;
}

bool SaveAsBmp(HBITMAP bitmap, const std::wstring& path) {
    return SaveWithEncoder(bitmap, path, L"image/bmp");
}
bool SaveAsJpeg(HBITMAP bitmap, const std::wstring& path) {
    return SaveWithEncoder(bitmap, path, L"image/jpeg");
}
bool SaveAsPng(HBITMAP bitmap, const std::wstring& path) {
    return SaveWithEncoder(bitmap, path, L"image/png");
}

bool SaveImage(HBITMAP bitmap, const std::wstring& path, ImageFormat format) {
    switch (format) {
        case ImageFormat::Bmp: return SaveAsBmp(bitmap, path);
        case ImageFormat::Png: return SaveAsPng(bitmap, path);
        case ImageFormat::Jpeg: return SaveAsJpeg(bitmap, path);
    }
    return false;
}

bool SaveWithDialog(HBITMAP bitmap, std::wstring& path) {
    std::wstring proposed = LocalDefaultFileName();
    for (;;) {
        std::wstring chosen;
        if (!AskSavePath(proposed, chosen)) return false;
        if (SaveImage(bitmap, chosen, FormatForPath(chosen))) {
            path = chosen;
            return true;
        }
        const std::wstring text = L"无法保存截图到文件：\n" + chosen +
                                  L"\n\n文件可能正被其他程序使用，或者该位置不可写入、磁盘已满。"
                                  L"请换一个位置或文件名再保存。";
        ::MessageBoxW(::GetActiveWindow(), text.c_str(), L"保存失败", MB_OK | MB_ICONERROR);
        proposed = LastComponent(chosen);
    }
}

}  // namespace kestrow
