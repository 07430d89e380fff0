#pragma once
// The window framework: a C++ object bound to its HWND from WM_NCCREATE to
// WM_NCDESTROY, answering messages in one HandleMessage switch.
#include <windows.h>

namespace kestrow::win {

// Registers a window class once per process; later calls with the same name succeed.
bool RegisterWindowClass(const WNDCLASSEXW& wc);

// The program's usual window class: Window::WindowProc, horizontal and vertical redraw,
// double clicks, arrow cursor, window-colour background.
bool RegisterStandardClass(const wchar_t* className);

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    // Creates the window of an already registered class whose procedure is
    // Window::WindowProc. Returns the handle, or null.
    HWND Create(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle,
                int x, int y, int width, int height, HWND parent = nullptr, HMENU menu = nullptr);

    HWND hwnd() const { return hwnd_; }
    bool IsWindow() const { return hwnd_ && ::IsWindow(hwnd_); }
    void Destroy();

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

protected:
    // One switch per window class; unhandled messages go to DefaultMessage.
    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) { return DefaultMessage(msg, wp, lp); }
    LRESULT DefaultMessage(UINT msg, WPARAM wp, LPARAM lp) { return ::DefWindowProcW(hwnd_, msg, wp, lp); }
    // Called after the window is gone and the object is unbound.
    virtual void OnFinalMessage() {}

private:
    HWND hwnd_ = nullptr;
};

// GetMessage loop for a thread; returns the quit code.
int RunMessageLoop();

}  // namespace kestrow::win
