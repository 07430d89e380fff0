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

// What CreateWindowExW needs, with the defaults most windows want.
struct CreateParams {
    const wchar_t* className = nullptr;
    const wchar_t* title = L"";
    DWORD style = WS_POPUP;
    DWORD exStyle = 0;
    int x = CW_USEDEFAULT;
    int y = CW_USEDEFAULT;
    int width = CW_USEDEFAULT;
    int height = CW_USEDEFAULT;
    HWND parent = nullptr;
    HMENU menu = nullptr;
};

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    // Creates the window of an already registered class whose procedure is
    // Window::WindowProc. Returns the handle, or null.
    HWND Create(const CreateParams& params);
    // Superclasses the system class `baseClass` as `params.className` (registered on
    // first use) and creates a window of it; unhandled messages go to the base class.
    HWND CreateSuperclassed(const wchar_t* baseClass, const CreateParams& params);

    HWND hwnd() const { return hwnd_; }
    bool IsWindow() const { return hwnd_ && ::IsWindow(hwnd_); }
    void Destroy();

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

protected:
    // One switch per window class; unhandled messages go to DefaultMessage.
    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) { return DefaultMessage(msg, wp, lp); }
    // The base class's procedure for a superclassed window, DefWindowProc otherwise.
    LRESULT DefaultMessage(UINT msg, WPARAM wp, LPARAM lp) {
        return baseProc_ ? ::CallWindowProcW(baseProc_, hwnd_, msg, wp, lp)
                         : ::DefWindowProcW(hwnd_, msg, wp, lp);
    }
    // Called after the window is gone and the object is unbound.
    virtual void OnFinalMessage() {}

private:
    HWND hwnd_ = nullptr;
    WNDPROC baseProc_ = nullptr;
};

// GetMessage loop for a thread; returns the quit code.
int RunMessageLoop();

}  // namespace kestrow::win
