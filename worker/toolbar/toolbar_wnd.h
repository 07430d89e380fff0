#pragma once
// CToolbarWnd: the pop-up tool bar shown next to a finished selection.
#include <windows.h>

#include "common/win/double_buffer.h"
#include "common/win/mouse_leave.h"
#include "common/win/window.h"
#include "worker/toolbar/x_toolbar.h"
#include "worker/worker_ids.h"

namespace kestrow {

class CToolbarWnd : public win::Window {
public:
    static constexpr wchar_t kClassName[] = L"KESTROW_ToolbarWndClass";
    static constexpr int kHeight = 27;

    // Creates the hidden tool bar owned by `owner`.
    bool Create(HWND owner, const RECT& rect);
    void SetKeyTarget(HWND target) { keyTarget_ = target; }
    int GetChecked() const { return strip_.GetChecked(); }
    void Move(const RECT& rect);
    // Sizes the tool bar and its buttons for a monitor of this DPI.
    void SetDpi(int dpi);
    void Show();
    void Hide();
    int GetWidth() const { return width_; }
    RECT GetRect() const { return rect_; }
    XToolbar& strip() { return strip_; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnCreate();
    void Render(HDC dc, const RECT& client);

    XToolbar strip_;
    HWND keyTarget_ = nullptr;
    int width_ = 0;
    RECT rect_{};
    win::MouseLeaveTracker leave_;
    win::DoubleBuffer buffer_;
};

}  // namespace kestrow
