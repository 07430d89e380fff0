#include "worker/capture_output.h"

#include <string>

#include "common/win/handles.h"
#include "worker/image_output.h"
#include "worker/result_sender.h"

namespace kestrow {

win::Bitmap CapturePrimaryScreen() {
    HWND desktop = ::GetDesktopWindow();
    win::WindowDC dc(desktop);
    RECT rc{};
    ::GetClientRect(desktop, &rc);
    if (!dc) return {};
    return CopyRegion(dc.Get(), rc);
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
