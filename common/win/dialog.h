#pragma once
// A dialog from a resource template, bound to its C++ object at WM_INITDIALOG and
// unbound at WM_NCDESTROY. Messages are answered in one HandleMessage switch.
#include <windows.h>

namespace kestrow::win {

class Dialog {
public:
    Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    virtual ~Dialog();

    // Creates the modeless dialog of template `templateId` from `module`
    // (the program itself when null). Returns the handle, or null.
    HWND CreateModeless(int templateId, HWND parent = nullptr, HMODULE module = nullptr);
    // Runs the dialog modally; returns EndDialog's result, or -1.
    INT_PTR RunModal(int templateId, HWND parent = nullptr, HMODULE module = nullptr);

    HWND hwnd() const { return hwnd_; }
    bool IsWindow() const { return hwnd_ && ::IsWindow(hwnd_); }
    void Destroy();

protected:
    // Returns what a dialog procedure returns: TRUE when handled (and the message's
    // result set with SetResult when it matters), FALSE for default handling.
    virtual INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) { return FALSE; }
    // A handled message's result (for messages whose answer isn't the return value).
    INT_PTR SetResult(LRESULT result);
    // Called after the window is gone and the object is unbound.
    virtual void OnFinalMessage() {}

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;
};

}  // namespace kestrow::win
