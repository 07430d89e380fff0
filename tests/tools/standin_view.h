#pragma once
// A stand-in for the hidden browser: "loads" the page that the last part of the address
// names and draws a known picture, so that the dialog and flow can be tested without a
// browser engine.
//   .../640x3000  loads after a moment; the page is 640 × 3000 pixels
//   .../error404  fails with status 404
//   .../timeout   times out (after `timeoutMs`, standing for the 30 s)
//   .../hang      never answers
// Every navigation's address is appended to the log as a UTF-8 line.
#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

#include "common/win/window.h"
#include "pagegrab/browser_view.h"
#include "tests/tools/tool_io.h"

namespace kestrow::testtools {

// The known picture: red is the row's low byte, green its high byte, blue the column's
// low byte, so every row of a tall page is told apart.
inline uint32_t StandinPixel(int x, int y) {  // 0x00RRGGBB
    return (uint32_t(y & 255) << 16) | (uint32_t((y >> 8) & 255) << 8) | uint32_t(x & 255);
}

class StandinView final : public pagegrab::BrowserView, public win::Window {
public:
    static constexpr UINT_PTR kLoadTimer = 1;
    static constexpr UINT_PTR kAnswerTimer = 2;
    // Long enough for a scenario polling from outside to see the request status.
    static constexpr UINT kAnswerMs = 800;

    explicit StandinView(std::wstring log, UINT timeoutMs = 1000)
        : log_(std::move(log)), timeoutMs_(timeoutMs) {
        win::RegisterStandardClass(L"KestrowStandinView");
    }

    HWND Create(HWND parent, const RECT& r, const wchar_t* text) override {
        parent_ = parent;
        return win::Window::Create({.className = L"KestrowStandinView",
                                    .title = text,
                                    .style = WS_CHILD,
                                    .x = r.left,
                                    .y = r.top,
                                    .width = r.right - r.left,
                                    .height = r.bottom - r.top,
                                    .parent = parent});
    }
    void SetNotifyMessage(UINT id) override { notify_ = id; }

    HRESULT Navigate(const std::wstring& url) override {
        if (!log_.empty()) WriteFileBytes(log_, ToUtf8(url) + "\n", true);
        ::KillTimer(hwnd(), kLoadTimer);
        ::KillTimer(hwnd(), kAnswerTimer);
        pageWidth_ = pageHeight_ = 0;
        const std::wstring last = url.substr(url.find_last_of(L'/') + 1);
        int w = 0, h = 0;
        if (swscanf(last.c_str(), L"%dx%d", &w, &h) == 2) {
            pending_ = {pagegrab::LOAD_OK, w, h};
            ::SetTimer(hwnd(), kAnswerTimer, kAnswerMs, nullptr);
        } else if (last.rfind(L"error", 0) == 0) {
            pending_ = {_wtol(last.c_str() + 5), 0, 0};
            ::SetTimer(hwnd(), kAnswerTimer, kAnswerMs, nullptr);
        } else if (last != L"hang") {
            ::SetTimer(hwnd(), kLoadTimer, timeoutMs_, nullptr);
        }
        return S_OK;
    }

    int GetPageWidth() override { return pageWidth_; }
    int GetPageHeight() override { return pageHeight_; }
    void SetBrowserWidth(int width) override { browserWidth_ = width; }
    void SetBrowserHeight(int height) override { browserHeight_ = height; }

    // Draws at the size the dialog gave the browser, as the real page's body would.
    pagegrab::SaveResult SaveAsBitmap(const std::wstring& path,
                                      const pagegrab::SaveProgress& progress) override {
        const int width = browserWidth_;
        return pagegrab::WritePageImage(
            path, width, browserHeight_,
            [width](HDC dc, int top, int rows) {
                std::vector<uint32_t> band(size_t(width) * rows);
                for (int y = 0; y < rows; ++y)
                    for (int x = 0; x < width; ++x) band[size_t(y) * width + x] = StandinPixel(x, top + y);
                BITMAPINFO bi{};
                bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -rows, 1, 32, BI_RGB};
                return ::SetDIBitsToDevice(dc, 0, 0, width, rows, 0, 0, 0, rows, band.data(), &bi,
                                           DIB_RGB_COLORS) == rows;
            },
            progress);
    }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg != WM_TIMER) return DefaultMessage(msg, wp, lp);
        ::KillTimer(hwnd(), wp);
        if (wp == kLoadTimer) {
            Post(pagegrab::LOAD_TIMEOUT);
        } else if (wp == kAnswerTimer) {
            pageWidth_ = pending_.width;
            pageHeight_ = pending_.height;
            Post(pending_.code);
        }
        return 0;
    }

private:
    void Post(long code) {
        if (notify_) ::PostMessageW(parent_, notify_, 0, code);
    }

    struct Answer {
        long code;
        int width, height;
    };
    std::wstring log_;
    UINT timeoutMs_;
    HWND parent_ = nullptr;
    UINT notify_ = 0;
    Answer pending_{};
    int pageWidth_ = 0, pageHeight_ = 0;
    int browserWidth_ = 0, browserHeight_ = 0;
};

}  // namespace kestrow::testtools
