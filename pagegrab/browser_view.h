#pragma once
// What the web capture dialog needs of the hidden browser: the one seam between the
// flow and the browser engine. The program uses CKestrowBrowserView; tests link the
// same dialog with a stand-in that "loads" pages of a known size.
#include <windows.h>

#include <string>

#include "pagegrab/page_bitmap.h"

namespace kestrow::pagegrab {

class BrowserView {
public:
    virtual ~BrowserView() = default;

    // Creates the view's window as a hidden child of `parent`; `text` names the first
    // page ("about:blank"). Null when the window cannot be made.
    virtual HWND Create(HWND parent, const RECT& rect, const wchar_t* text) = 0;

    // Every Navigate ends in one WM_BROWSER_NOTIFY-style message with this id posted
    // to the parent (LOAD_OK, LOAD_TIMEOUT, LOAD_NO_BROWSER or an error status).
    virtual void SetNotifyMessage(UINT id) = 0;
    virtual HRESULT Navigate(const std::wstring& url) = 0;
    virtual int GetPageWidth() = 0;
    virtual int GetPageHeight() = 0;
    virtual void SetBrowserWidth(int width) = 0;
    virtual void SetBrowserHeight(int height) = 0;
    // Draws the loaded page at its current size and writes it to `path`.
    virtual SaveResult SaveAsBitmap(const std::wstring& path, const SaveProgress& progress) = 0;
};

}  // namespace kestrow::pagegrab
