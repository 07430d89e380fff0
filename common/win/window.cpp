#include "common/win/window.h"

namespace kestrow::win {

bool RegisterWindowClass(const WNDCLASSEXW& wc) {
    WNDCLASSEXW existing{sizeof(existing)};
    if (::GetClassInfoExW(wc.hInstance, wc.lpszClassName, &existing)) return true;
    return ::RegisterClassExW(&wc) != 0;
}

bool RegisterStandardClass(const wchar_t* className) {
    WNDCLASSEXW wc{sizeof(wc)};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = Window::WindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = className;
    return RegisterWindowClass(wc);
}

Window::~Window() { Destroy(); }

void Window::Destroy() {
    if (hwnd_ && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
}

HWND Window::Create(const CreateParams& p) {
    return ::CreateWindowExW(p.exStyle, p.className, p.title, p.style, p.x, p.y, p.width, p.height, p.parent,
                             p.menu, ::GetModuleHandleW(nullptr), this);
}

HWND Window::CreateSuperclassed(const wchar_t* baseClass, const CreateParams& params) {
    WNDCLASSEXW wc{sizeof(wc)};
    if (!::GetClassInfoExW(nullptr, baseClass, &wc)) return nullptr;
    // Kept per object, so that no global holds it; the class is the same for every window.
    baseProc_ = wc.lpfnWndProc;
    wc.lpfnWndProc = Window::WindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = params.className;
    if (!RegisterWindowClass(wc)) return nullptr;
    return Create(params);
}

LRESULT CALLBACK Window::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Window* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        if (self) {
            self->hwnd_ = hwnd;
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    } else {
        self = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return ::DefWindowProcW(hwnd, msg, wp, lp);

    LRESULT result = 0;
    // An exception must not unwind through the system's code that called us: the message
    // gets default handling instead.
    try {
        result = self->HandleMessage(msg, wp, lp);
    } catch (...) {
        result = self->DefaultMessage(msg, wp, lp);
    }
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->OnFinalMessage();
    }
    return result;
}

int RunMessageLoop() {
    MSG msg;
    for (;;) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got == -1) return 0;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

}  // namespace kestrow::win
