#pragma once
// The start-up splash: a picture in the middle of the screen for three seconds that
// then flies towards the notification area, after which the main window is told.
#include <windows.h>
#include <gdiplus.h>

#include <memory>

#include "common/geometry.h"
#include "common/win/window.h"

namespace kestrow {

inline constexpr wchar_t kStartupWndClass[] = L"StartupWndClass";

class CStartupWnd : public win::Window {
public:
    // Creates and shows the splash unless it exists already; WM_STARTUP_DONE goes to
    // `notify` once it has flown away. The picture comes from `resources` (this program
    // when null). False when no window could be made.
    bool Show(HWND notify, HMODULE resources = nullptr);
    bool HasPicture() const { return image_ != nullptr; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnTimer(UINT_PTR id);
    void OnPaint();
    void Fly();

    HWND notify_ = nullptr;
    int stopRight_ = 0;
    int stopBottom_ = 0;
    Rect flight_;  // where the last step put the window, inverted or not
    bool done_ = false;
    std::unique_ptr<Gdiplus::Bitmap> image_;
};

}  // namespace kestrow
