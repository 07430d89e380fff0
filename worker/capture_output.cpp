#include "worker/capture_output.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "common/win/handles.h"
#include "common/win/window.h"
#include "worker/image_output.h"
#include "worker/result_sender.h"

namespace kestrow {

namespace {
constexpr wchar_t kClipboardOwnerClass[] = L"KESTROW_ClipboardOwner";
}  // namespace

// Read in bands of at most 240 KiB: under Wine a large read costs more per byte than a
// small one (each read's image is a new allocation, so larger ones come as fresh pages
// every time).
// From the capture bench's band sweep (same run, medians): 1920x1080 10.1 ms in four
// bands, 5.2 ms in 240 KiB ones; 3840x2160 38.1 ms in 2 MiB bands, 23.3 ms in 240 KiB
// ones (20.9 in 480 KiB, but 7.2 ms at 1920x1080); smaller bands cost round trips.
void GrabScreen(HDC screen, HDC to, int x, int y, int w, int h) {
    constexpr int64_t kBandBytes = 240 << 10;
    const int kBands = int(std::max<int64_t>(4, (int64_t(w) * h * 4 + kBandBytes - 1) / kBandBytes));
    for (int band = 0; band < kBands; ++band) {
        const int top = h * band / kBands, bottom = h * (band + 1) / kBands;
        ::BitBlt(to, 0, top, w, bottom - top, screen, x, y + top, SRCCOPY);
    }
    ::GdiFlush();
}

// The screen DC works in screen coordinates, so (0,0) is the primary monitor's corner
// whatever stands left of or above it; the desktop window would start at the virtual
// screen's corner.
win::Bitmap CapturePrimaryScreen() {
    win::WindowDC dc(nullptr);
    if (!dc) return {};
    const RECT primary{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    return CopyRegion(dc.Get(), primary, primary);
}

bool OutputToClipboard(win::Bitmap bitmap, HWND owner, std::optional<ResultCode> report) {
    if (!bitmap) return false;
    // Opened without an owner, the clipboard is emptied and then refuses the data on
    // Windows (Wine lets it pass), so a task without a window of its own gets one here.
    win::Window ownWindow;
    if (!owner) {
        if (!win::RegisterStandardClass(kClipboardOwnerClass)) return false;
        owner = ownWindow.Create({.className = kClipboardOwnerClass, .parent = HWND_MESSAGE});
        if (!owner) return false;
    }
    {
        win::ClipboardSession clipboard(owner, kClipboardPatienceMs);
        if (!PutOnClipboard(std::move(bitmap), clipboard)) return false;
    }
    if (report) SendResultInt(*report, 0);
    return true;
}

bool PutOnClipboard(win::Bitmap bitmap, const win::ClipboardSession& clipboard) {
    if (!bitmap || !clipboard.IsOpen()) return false;
    ::EmptyClipboard();
    // The clipboard owns the bitmap once it has taken it.
    if (!::SetClipboardData(CF_BITMAP, bitmap.Get())) return false;
    bitmap.Release();
    return true;
}

bool OutputToFile(HBITMAP bitmap, ResultCode report) {
    std::wstring path;
    if (!bitmap || !SaveWithDialog(bitmap, path)) return false;
    SendResultText(report, path);
    return true;
}

}  // namespace kestrow
