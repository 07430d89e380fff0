#include "worker/capture_output.h"

#include <string>

#include "common/win/handles.h"
#include "common/win/window.h"
#include "worker/image_output.h"
#include "worker/result_sender.h"

namespace kestrow {

namespace {
constexpr wchar_t kClipboardOwnerClass[] = L"KESTROW_ClipboardOwner";
}  // namespace

// A new process's first large read costs more than later ones (the display server
// sizes its buffers for the new connection); in four bands the first capture's read
// measured about a fifth faster at 1920x1080.
void GrabScreen(HDC screen, HDC to, int x, int y, int w, int h) {
    constexpr int kBands = 4;
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
