#include "common/win/dialog.h"

namespace kestrow::win {

Dialog::~Dialog() { Destroy(); }

void Dialog::Destroy() {
    if (hwnd_ && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
}

HWND Dialog::CreateModeless(int templateId, HWND parent, HMODULE module) {
    return ::CreateDialogParamW(module ? module : ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId),
                                parent, &Dialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR Dialog::RunModal(int templateId, HWND parent, HMODULE module) {
    return ::DialogBoxParamW(module ? module : ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId),
                             parent, &Dialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR Dialog::SetResult(LRESULT result) {
    ::SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Dialog* self = nullptr;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lp);
        if (self) {
            self->hwnd_ = hwnd;
            ::SetWindowLongPtrW(hwnd, DWLP_USER, lp);
        }
    } else {
        self = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (!self) return FALSE;

    INT_PTR result = FALSE;
    // An exception must not unwind through the dialog manager: default handling instead.
    try {
        result = self->HandleMessage(msg, wp, lp);
    } catch (...) {
        result = FALSE;
    }
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
        self->OnFinalMessage();
    }
    return result;
}

}  // namespace kestrow::win
