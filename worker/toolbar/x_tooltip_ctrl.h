#pragma once
// XToolTipCtrl: the worker's one tooltip window, shared by every button strip.
#include <windows.h>

#include <string>

#include "common/win/gdi.h"

namespace kestrow {

class XToolTipCtrl {
public:
    static XToolTipCtrl& Instance();

    void AddTool(HWND hwnd);
    // Shows `text` for the tool `hwnd`, sized for a monitor of `dpi`: the strips pass
    // the DPI they are drawn at.
    void Show(HWND hwnd, const wchar_t* text, int dpi = 96);
    void Hide();
    void Destroy();
    HWND hwnd() const { return tip_; }

private:
    XToolTipCtrl() = default;
    ~XToolTipCtrl() { Destroy(); }
    bool Ensure();
    void SetDpi(int dpi);
    HWND tip_ = nullptr;
    // What the control's own font is (the system's, at the system DPI) and the font
    // made from it for another DPI.
    LOGFONTW systemFont_{};
    bool haveSystemFont_ = false;
    win::Font scaledFont_;
    int dpi_ = 0;
};

}  // namespace kestrow
