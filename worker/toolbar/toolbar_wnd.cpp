#include "worker/toolbar/toolbar_wnd.h"

#include <vector>

#include "common/dpi.h"
#include "worker/annotation/tool_table.h"
#include "worker/res/resource.h"

namespace kestrow {

namespace {

constexpr StripItemInit kSeparator{L"", L"", 0, -1, 0, kItemSeparator};

// After the tools: the commands.
constexpr StripItemInit kCommandItems[] = {
    kSeparator,
    {L"撤消", L"撤消上一次操作", ID_UNDO, 4, 0, 0},
    {L"重做", L"重做", ID_REDO, 12, 0, 0},
    kSeparator,
    {L"钉在桌面", L"钉在桌面（贴图）", ID_PIN, 13, 0, 0},
    {L"取消", L"取消本次截屏", ID_CANCEL, 7, 0, 0},
    {L"复制区域", L"复制所选区域到剪贴板", ID_COPY, 5, 0, 0},
    {L"另存为", L"另存为到本地文件", ID_SAVEAS, 6, 0, 0},
};
constexpr int kIconCount = 14;

std::vector<StripItemInit> ToolbarItems() {
    std::vector<StripItemInit> items;
    for (const ToolRow& tool : kTools)
        items.push_back({tool.label, tool.tooltip, tool.id, tool.icon, 0, kItemCheckGroup});
    items.insert(items.end(), std::begin(kCommandItems), std::end(kCommandItems));
    return items;
}

}  // namespace

bool CToolbarWnd::Create(HWND owner, const RECT& rect) {
    if (hwnd()) return true;
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpfnWndProc = Window::WindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    if (!win::RegisterWindowClass(wc)) return false;
    return Window::Create({.className = kClassName,
                           .x = rect.left,
                           .y = rect.top,
                           .width = rect.right - rect.left,
                           .height = rect.bottom - rect.top,
                           .parent = owner}) != nullptr;
}

void CToolbarWnd::OnCreate() {
    strip_.SetShowLabels(true);
    strip_.SetOwner(hwnd());
    strip_.LoadIcons(IDB_TOOLBAR_ICONS, kIconCount);
    const std::vector<StripItemInit> items = ToolbarItems();
    width_ = strip_.AddItems(items.data(), int(items.size()));
    ::SetWindowPos(hwnd(), nullptr, 0, 0, width_, kHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    strip_.SetRect(RECT{0, 0, width_, kHeight});
    strip_.SetEnabled(true);
}

void CToolbarWnd::SetDpi(int dpi) {
    if (dpi == strip_.dpi() || !hwnd()) return;
    strip_.SetDpi(dpi);
    width_ = strip_.width();
    const int height = Scale(kHeight, dpi);
    ::SetWindowPos(hwnd(), nullptr, 0, 0, width_, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    strip_.SetRect(RECT{0, 0, width_, height});
    ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void CToolbarWnd::Move(const RECT& rect) {
    rect_ = rect;
    ::SetWindowPos(hwnd(), nullptr, rect.left, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(hwnd(), nullptr, TRUE);
    ::UpdateWindow(hwnd());
}

void CToolbarWnd::Show() { ::ShowWindow(hwnd(), SW_SHOW); }
void CToolbarWnd::Hide() { ::ShowWindow(hwnd(), SW_HIDE); }

void CToolbarWnd::Render(HDC dc, const RECT& client) { strip_.Paint(dc); }

LRESULT CToolbarWnd::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE: OnCreate(); return 0;
        case WM_COMMAND: return ::SendMessageW(::GetWindow(hwnd(), GW_OWNER), WM_COMMAND, wp, lp);
        case WM_MOUSEMOVE:
            leave_.Track(hwnd());
            strip_.HandleMessage(hwnd(), msg, wp, lp);
            return 0;
        case WM_MOUSELEAVE:
            leave_.Left();
            strip_.HandleMessage(hwnd(), msg, wp, lp);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP: strip_.HandleMessage(hwnd(), msg, wp, lp); return 0;
        case WM_NOTIFY:
            if (strip_.HandleMessage(hwnd(), msg, wp, lp)) return 0;
            break;
        case WM_KEYDOWN:
            if (!keyTarget_) return 0;
            if (wp == VK_ESCAPE)
                ::SendMessageW(keyTarget_, WM_CLOSE, 0, 0);
            else
                ::SendMessageW(keyTarget_, WM_KEYDOWN, wp, lp);
            return 0;
        case WM_SHOWWINDOW:
            if (!wp) strip_.ResetStates();
            break;
        case WM_ERASEBKGND:
        case WM_PAINT:
        case WM_PRINTCLIENT:
            return buffer_.HandlePaint(hwnd(), msg, wp, [this](HDC dc, const RECT& c) { Render(dc, c); });
    }
    return DefaultMessage(msg, wp, lp);
}

}  // namespace kestrow
