#pragma once
// XToolTipCtrl: the worker's one tooltip window, shared by every button strip.
#include <windows.h>

#include <string>

namespace kestrow {

class XToolTipCtrl {
public:
    static XToolTipCtrl& Instance();

    void AddTool(HWND hwnd);
    void Show(HWND hwnd, const wchar_t* text);
    void Hide();
    void Destroy();
    HWND hwnd() const { return tip_; }

private:
    XToolTipCtrl() = default;
    ~XToolTipCtrl() { Destroy(); }
    bool Ensure();
    HWND tip_ = nullptr;
};

}  // namespace kestrow
