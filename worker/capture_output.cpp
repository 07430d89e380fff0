#include "worker/capture_output.h"

#include <string>

#include "common/win/handles.h"
#include "worker/image_output.h"
#include "worker/result_sender.h"

namespace kestrow {

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
    {
        win::ClipboardSession clipboard(owner);
        if (!clipboard.IsOpen()) return false;
        ::EmptyClipboard();
        // The clipboard owns the bitmap once it has taken it.
        if (!::SetClipboardData(CF_BITMAP, bitmap.Get())) return false;
        bitmap.Release();
    }
    if (report) SendResultInt(*report, 0);
    return true;
}

bool OutputToFile(HBITMAP bitmap, ResultCode report) {
    std::wstring path;
    if (!bitmap || !SaveWithDialog(bitmap, path)) return false;
    SendResultText(report, path);
    return true;
}

}  // namespace kestrow
