#pragma once
// CToolbarWnd: the pop-up tool bar shown next to a finished selection.
#include <windows.h>

#include "common/win/double_buffer.h"
#include "common/win/window.h"
#include "worker/annotation/x_toolbar.h"

namespace kestrow {

enum ToolCommandId : int {
    ID_TOOL_RECTANGLE = 0x500,
    ID_TOOL_ELLIPSE = 0x501,
    ID_TOOL_ARROW = 0x502,
    ID_TOOL_BRUSH = 0x503,
    ID_TOOL_HIGHLIGHTER = 0x504,
    ID_TOOL_TEXT = 0x505,
    ID_UNDO = 0x506,
    ID_CANCEL = 0x509,
    ID_FINISH = 0x50A,
    ID_COPY = 0x50B,
    ID_SAVEAS = 0x50C,
};

class CToolbarWnd : public win::Window {
public:
    static constexpr wchar_t kClassName[] = L"KESTROW_ToolbarWndClass";
    static constexpr int kHeight = 27;

    // Creates the hidden tool bar owned by `owner`.
    bool Create(HWND owner, const RECT& rect);
    void SetKeyTarget(HWND target) { keyTarget_ = target; }
    int GetChecked() const { return strip_.GetChecked(); }
    void Move(const RECT& rect);
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
    bool tracking_ = false;
    win::DoubleBuffer buffer_;
};

}  // namespace kestrow
