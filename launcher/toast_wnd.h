#pragma once
// The toast: a small black, translucent, topmost label centred on the screen that
// fades in, holds three seconds and fades out, then frees itself.
#include <windows.h>

#include <memory>
#include <string>

#include "common/win/gdi.h"
#include "common/win/window.h"
#include "launcher/toast_fade.h"
#include "launcher/toast_queue.h"

namespace kestrow {

inline constexpr wchar_t kToastWndClass[] = L"ToastWndClass";

class CToastWnd : public win::Window {
public:
    // Creates the hidden toast window (title "ToastWndClass"). Null on failure.
    HWND CreateToast();
    // Centres it, shows `text` and starts the fade.
    void Show(const std::wstring& text);
    int alpha() const { return fade_.alpha(); }
    // The DPI to draw at instead of that of the monitor the toast stands on (before
    // CreateToast).
    void SetDpi(int dpi) { dpi_ = dpi; }
    HFONT font() const { return font_.Get(); }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnFinalMessage() override;

private:
    void OnTimer(UINT_PTR id);
    void OnPaint();
    void Apply(const ToastStep& step);

    friend HWND ShowToast(std::unique_ptr<CToastWnd> toast, const std::wstring& text);

    ToastFade fade_;
    win::Font font_;
    int dpi_ = 0;
    // Set once the window stands on its own: from then on its end frees the object.
    bool ownsSelf_ = false;
};

// Creates and shows one toast; it lives on its own until its fade ends, or until
// kMaxToasts newer ones have come.
// Returns its window, or null when none could be made.
HWND ShowToast(const std::wstring& text);
// The same with a given object (tests pass one that counts its end).
HWND ShowToast(std::unique_ptr<CToastWnd> toast, const std::wstring& text);
// Closes this thread's toasts at once, so none is left frozen when the loop ends.
void CloseToasts();

}  // namespace kestrow
