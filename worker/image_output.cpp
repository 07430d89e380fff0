#include "worker/image_output.h"

#include <cderr.h>
#include <commdlg.h>
#include <gdiplus.h>

#include <cwchar>
#include <string>

#include "common/png_writer.h"
#include "common/win/bitmap_rows.h"
#include "common/win/handles.h"
#include "common/win/image_encoder.h"
#include "common/win/save_dialog.h"
#include "common/win/staged_file.h"

namespace kestrow {
namespace {

const wchar_t kFilter[] = L"PNG 图片(*.png)\0*.png\0BMP 图片(*.bmp)\0*.bmp\0JPEG 图片(*.jpg)\0*.jpg\0";

void ShowSaveFailure(const std::wstring& text) {
    ::MessageBoxW(::GetActiveWindow(), text.c_str(), L"保存失败", MB_OK | MB_ICONERROR);
}

bool SaveWithEncoder(HBITMAP bitmap, const std::wstring& path, const wchar_t* mime) {
    CLSID clsid;
    if (!bitmap || !win::FindImageEncoder(mime, clsid)) return false;
    Gdiplus::Bitmap image(bitmap, nullptr);
    if (image.GetLastStatus() != Gdiplus::Ok) return false;
    // Written beside the target and moved over it only when complete: a full disk or a
    // failed encoder must not cost the file being replaced.
    win::StagedFile file;
    if (!file.Begin(path)) return false;
    if (image.Save(file.path().c_str(), &clsid, nullptr) != Gdiplus::Ok) return false;
    return file.Commit();
}

// What the user is told when the save dialog itself fails.
std::wstring SaveDialogFailureText(DWORD failure) {
    if (failure == FNERR_BUFFERTOOSMALL) return L"文件名太长，无法保存截图。\n\n请换一个较短的文件名再保存。";
    wchar_t code[16];
    std::swprintf(code, 16, L"0x%04lX", static_cast<unsigned long>(failure));
    return std::wstring(L"无法打开保存对话框（错误代码 ") + code + L"），截图没有保存。";
}

std::wstring LocalDefaultFileName() {
    SYSTEMTIME t;
    ::GetLocalTime(&t);
    return DefaultFileName(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
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

win::Bitmap CopyRegionWith(HDC surface, const RECT& rect, const RECT& bounds,
                           const std::function<void(HDC)>& draw) {
    const auto area = ClampCopyRect({rect.left, rect.top, rect.right, rect.bottom},
                                    Rect{bounds.left, bounds.top, bounds.right, bounds.bottom});
    if (!area) return {};
    // As large as the bounds, so that whatever is drawn uses the surface's coordinates;
    // only the region is filled and copied.
    win::MemorySurface scratch;
    if (!scratch.CreateDib(bounds.right, bounds.bottom)) return {};
    ::BitBlt(scratch.dc(), area->left, area->top, area->Width(), area->Height(), surface, area->left,
             area->top, SRCCOPY);
    draw(scratch.dc());
    ::GdiFlush();
    return CopyRegion(scratch.dc(), rect, bounds);
}

bool SaveAsBmp(HBITMAP bitmap, const std::wstring& path) {
    return SaveWithEncoder(bitmap, path, L"image/bmp");
}
bool SaveAsJpeg(HBITMAP bitmap, const std::wstring& path) {
    return SaveWithEncoder(bitmap, path, L"image/jpeg");
}
// Our own writer rather than GDI+'s encoder: pagegrab's pages and the worker's PNGs are
// compressed alike, and under Wine GDI+ wrote a smooth screen at several times the size.
bool SaveAsPng(HBITMAP bitmap, const std::wstring& path) {
    BITMAP size{};
    if (!bitmap || !::GetObjectW(bitmap, sizeof(size), &size)) return false;
    win::StagedFile staged;
    if (!staged.Begin(path)) return false;
    {
        win::UniqueFile file(::CreateFileW(staged.path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!file) return false;
        png::PngWriter writer;
        const auto sink = [&file](const uint8_t* data, size_t n) {
            DWORD written = 0;
            return ::WriteFile(file.Get(), data, DWORD(n), &written, nullptr) && written == n;
        };
        if (!writer.Begin(uint32_t(size.bmWidth), uint32_t(size.bmHeight), sink, png::PixelLayout::Bgrx) ||
            !win::ForEachBitmapRow(bitmap, [&writer](const uint8_t* row) { return writer.WriteRow(row); }) ||
            !writer.Finish())
            return false;
    }
    return staged.Commit();
}

bool SaveImage(HBITMAP bitmap, const std::wstring& path, ImageFormat format) {
    switch (format) {
        case ImageFormat::Bmp: return SaveAsBmp(bitmap, path);
        case ImageFormat::Png: return SaveAsPng(bitmap, path);
        case ImageFormat::Jpeg: return SaveAsJpeg(bitmap, path);
    }
    return false;
}

bool SaveWithDialog(HBITMAP bitmap, std::wstring& path, size_t maxChars) {
    std::wstring proposed = LocalDefaultFileName();
    for (;;) {
        DWORD failure = 0;
        const std::wstring chosen = win::AskSaveFileName(proposed, kFilter, L"bmp", maxChars, &failure);
        if (chosen.empty()) {
            if (failure == 0) return false;  // cancelled
            ShowSaveFailure(SaveDialogFailureText(failure));
            // A name too long for the buffer: the dialog itself works, so it is offered
            // again. Any other failure would only repeat.
            if (failure == FNERR_BUFFERTOOSMALL) continue;
            return false;
        }
        if (SaveImage(bitmap, chosen, FormatForPath(chosen))) {
            path = chosen;
            return true;
        }
        ShowSaveFailure(L"无法保存截图到文件：\n" + chosen +
                        L"\n\n文件可能正被其他程序使用，或者该位置不可写入、磁盘已满。"
                        L"请换一个位置或文件名再保存。");
        proposed = LastComponent(chosen);
    }
}

}  // namespace kestrow
