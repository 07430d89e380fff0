#include "worker/screen_capture_wnd.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "common/dpi.h"
#include "common/win/monitor.h"
#include "common/win/rect.h"
#include "common/win/start_trace.h"
#include "worker/dimming.h"
#include "worker/capture_output.h"
#include "worker/image_output.h"
#include "worker/res/resource.h"
#include "worker/result_sender.h"
#include "worker/start_services.h"

namespace kestrow {

using win::ToRECT;
using win::ToRect;

namespace {

int VirtualWidth() { return ::GetSystemMetrics(SM_CXVIRTUALSCREEN); }
int VirtualHeight() { return ::GetSystemMetrics(SM_CYVIRTUALSCREEN); }

Rect Inflated(const Rect& r, int d) { return {r.left - d, r.top - d, r.right + d, r.bottom + d}; }

// Topmost, or the warning would open behind the topmost overlay where it cannot be seen.
void WarnTooSmall() { ::MessageBoxW(nullptr, L"区域太小!", L"", MB_OK | MB_TOPMOST); }

}  // namespace

CScreenCaptureWnd::CScreenCaptureWnd(bool trackWindow)
    : crosshair_(::LoadCursorW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_CROSSHAIR))),
      selection_(std::make_unique<CSelectionTracker>(VirtualWidth(), VirtualHeight(), crosshair_)),
      machine_(selection_->geometry(), trackWindow),
      screenWidth_(VirtualWidth()),
      screenHeight_(VirtualHeight()),
      layout_(win::ReadScreenLayout()),
      trackWindow_(trackWindow) {
    if (!crosshair_) crosshair_ = ::LoadCursorW(nullptr, IDC_CROSS);
    graphs_ = std::make_unique<CGraphManager>(*selection_, [this] { return pane_.Style(); });
    magnifier_ = std::make_unique<CMagnifier>(screenWidth_, screenHeight_, *selection_);
    windowTracker_ = std::make_unique<CWindowTracker>(screenWidth_, screenHeight_, crosshair_);
    magnifier_->SetWindowTracker(windowTracker_.get());
    magnifier_->SetTrackWindow(trackWindow);
    magnifier_->SetLayout(layout_);
    windowTracker_->SetLayout(layout_);
}

CScreenCaptureWnd::~CScreenCaptureWnd() {
    dimPending_ = false;
    WaitForDimmed();
    toolbar_.Destroy();
    Destroy();
}

bool CScreenCaptureWnd::Create(const wchar_t* title, DWORD style, DWORD exStyle) {
    if (!win::RegisterStandardClass(kClassName)) return false;
    // Made topmost over the whole desktop, where StartCapture puts it, so that
    // showing it is all that is left to do.
    return Window::Create({.className = kClassName,
                           .title = title,
                           .style = style,
                           .exStyle = exStyle | WS_EX_TOPMOST,
                           .x = layout_.origin().x,
                           .y = layout_.origin().y,
                           .width = layout_.width(),
                           .height = layout_.height()}) != nullptr;
}

void CScreenCaptureWnd::OnCreate() {
    ::SetWindowLongPtrW(hwnd(), GWL_STYLE, ::GetWindowLongPtrW(hwnd(), GWL_STYLE) | WS_CLIPCHILDREN);
}

// The tool bar is a hidden pop-up with the overlay's client rectangle until a selection
// places it; none of this shows before then, so it waits until the first frame is up.
void CScreenCaptureWnd::FinishStart() {
    if (started_ || !hwnd()) return;
    started_ = true;
    StartServices();
    RECT client;
    ::GetClientRect(hwnd(), &client);
    toolbar_.Create(hwnd(), client);
    toolbar_.SetKeyTarget(hwnd());
    graphs_->Create(hwnd());
    // The back buffer of every later paint, made and filled now rather than at the
    // first mouse move.
    win::WindowDC dc(hwnd());
    if (HDC back = buffer_.Prepare(dc.Get(), client.right, client.bottom)) Render(back, client);
    StartDimming();
    win::start_trace::Mark("ready");
    win::start_trace::Write();
}

// The first frame is the frozen screen with the magnifier on it: nothing was drawn
// before that could flicker, and the window's pixels reach the display only when the
// paint ends, so it is rendered straight into the window. That spares making and
// filling a full-screen back buffer before the first pixel (FinishStart makes it).
void CScreenCaptureWnd::PaintFirstFrame() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd(), &ps);
    RECT client;
    ::GetClientRect(hwnd(), &client);
    if (dc) Render(dc, client);
    ::EndPaint(hwnd(), &ps);
}

bool CScreenCaptureWnd::TakeSnapshot(int w, int h) {
    win::WindowDC screen(nullptr);
    if (!screen) return false;
    dimPending_ = false;  // a new snapshot replaces the one it was for
    WaitForDimmed();
    if (!snapshot_ || snapshot_.width() != w || snapshot_.height() != h) snapshot_.CreateDib(w, h);
    if (!dimmed_ || dimmed_.width() != w || dimmed_.height() != h) dimmed_.CreateDib(w, h);
    lastTarget_ = nullptr;
    magnifier_->Invalidate();
    graphs_->DropLayer();
    if (!snapshot_) return false;
    win::start_trace::Mark("surfaces");
    // From the virtual screen's corner (left of or above the primary monitor when a
    // monitor stands there); the dimmed copy is computed from it.
    GrabScreen(screen.Get(), snapshot_.dc(), layout_.origin().x, layout_.origin().y, w, h);
    win::start_trace::Mark("grabbed");
    dimPending_ = bool(dimmed_);
    return dimmed_ && snapshot_;
}

// The dimmed copy is first shown when a selection starts, so it is computed on a thread
// once a frame is up: begun earlier, it only took processor time from showing the window.
void CScreenCaptureWnd::StartDimming() {
    if (!dimPending_) return;
    dimPending_ = false;
    const uint32_t* from = snapshot_.bits();
    uint32_t* to = dimmed_.bits();
    const size_t count = size_t(snapshot_.width()) * snapshot_.height();
    try {
        dimming_ = std::thread([from, to, count] { DimPixels(from, to, count); });
    } catch (...) {
        DimPixels(from, to, count);  // no thread to be had: dim here
    }
}

void CScreenCaptureWnd::StartCapture() {
    // Each of these is a trip through the window manager even when nothing changes, so
    // the first start, which has the window made in place a moment ago, skips them.
    if (!(::GetWindowLongPtrW(hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST))
        ::SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetLayout(startedBefore_ ? win::ReadScreenLayout() : layout_);
    startedBefore_ = true;
    screenWidth_ = layout_.width();
    screenHeight_ = layout_.height();
    TakeSnapshot(screenWidth_, screenHeight_);
    win::start_trace::Mark("snapshot");
    RECT placed{};
    ::GetWindowRect(hwnd(), &placed);
    if (ToRect(placed) != layout_.ToScreen(layout_.Bounds()))
        ::SetWindowPos(hwnd(), nullptr, layout_.origin().x, layout_.origin().y, screenWidth_, screenHeight_,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    // Shown without taking the focus: taking it is a round of messages with the window
    // that had it, which made showing take anything from 5 to 20 ms. The overlay takes
    // it the moment its first frame is up (and a click on it takes it sooner).
    ::ShowWindow(hwnd(), SW_SHOWNA);
    focusPending_ = true;

    selection_->Attach(snapshot_.dc(), hwnd());
    magnifier_->Attach(snapshot_.dc(), [this](HDC dc) {
        if (machine_.state() == OverlayState::Idle) return;
        selection_->DrawOutline(dc);
        if (machine_.state() == OverlayState::Annotating) graphs_->DrawAll(dc);
    });
    if (trackWindow_) windowTracker_->Attach(hwnd(), snapshot_.dc());
    ::SetTimer(hwnd(), kRepaintTimer, 1000, nullptr);
    SetClassCursor(crosshair_);
}

void CScreenCaptureWnd::SetLayout(const ScreenLayout& layout) {
    layout_ = layout;
    magnifier_->SetLayout(layout_);
    windowTracker_->SetLayout(layout_);
}

void CScreenCaptureWnd::WaitForDimmed() {
    if (dimPending_) {
        dimPending_ = false;
        DimPixels(snapshot_.bits(), dimmed_.bits(), size_t(snapshot_.width()) * snapshot_.height());
    }
    if (dimming_.joinable()) dimming_.join();
}

void CScreenCaptureWnd::Render(HDC dc, const RECT& client) {
    const OverlayState state = machine_.state();
    const bool dim = ShowsDimmedBackground(state, selection_->geometry());
    HDC background = dim ? dimmedDC() : snapshot_.dc();
    if (background && dc == lastTarget_ && background == lastBackground_) {
        for (const Rect& r : overdraw_)
            ::BitBlt(dc, r.left, r.top, r.Width(), r.Height(), background, r.left, r.top, SRCCOPY);
    } else if (background) {
        ::BitBlt(dc, 0, 0, client.right, client.bottom, background, 0, 0, SRCCOPY);
    } else {
        ::PatBlt(dc, 0, 0, client.right, client.bottom, BLACKNESS);
    }
    overdraw_.clear();
    switch (state) {
        case OverlayState::Idle:
            if (trackWindow_) {
                windowTracker_->Draw(dc);
                overdraw_.push_back(Inflated(windowTracker_->FrameRect(), 8));
            }
            break;
        case OverlayState::Selecting:
        case OverlayState::Annotating: {
            const Rect sel = SelectionGeometry::Normalized(selection_->GetRect());
            const int dpi = layout_.DpiFor(sel);
            selection_->SetDpi(dpi);
            if (state == OverlayState::Annotating)
                overdraw_.push_back(graphs_->DrawOnOverlay(dc, background, client));
            else
                selection_->Draw(dc);
            if (selection_->HasSelection()) overdraw_.push_back(Inflated(sel, Scale(5, dpi)));
            break;
        }
    }
    // What is drawn on the zoomed piece follows the state, and shapes change unseen.
    if (state != lastState_ || state == OverlayState::Annotating) magnifier_->Invalidate();
    lastState_ = state;
    magnifier_->Draw(dc);
    magnifier_->AddDrawnAreas(overdraw_);
    // Keep the list inside the surfaces.
    for (Rect& r : overdraw_) {
        r = {std::max(r.left, 0), std::max(r.top, 0), std::min<int>(r.right, client.right),
             std::min<int>(r.bottom, client.bottom)};
    }
    lastTarget_ = dc;
    lastBackground_ = background;
}

void CScreenCaptureWnd::SetClassCursor(HCURSOR cursor) {
    ::SetClassLongPtrW(hwnd(), GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(cursor));
    // Also now, not only at the next WM_SETCURSOR.
    POINT p;
    if (::GetCursorPos(&p) && ::WindowFromPoint(p) == hwnd()) ::SetCursor(cursor);
}

void CScreenCaptureWnd::Apply(uint32_t acts, int x, int y) {
    if (acts & kActTrackWindow) windowTracker_->Update(x, y);
    if (acts & kActCrosshairCursor) SetClassCursor(crosshair_);
    if (acts & kActHandleCursor) selection_->UpdateCursor();
    if (acts & kActAnnotateMove) graphs_->OnMouseMove(x, y);
    if (acts & kActAnnotateDown) {
        // A press that starts annotating draws with the tool checked on the tool bar.
        if (graphs_->ActiveTool() < 0) graphs_->SetActiveTool(toolbar_.GetChecked());
        graphs_->OnLButtonDown(x, y);
    }
    if (acts & kActAnnotateUp) graphs_->OnLButtonUp(x, y);
    if (acts & kActHideToolbar) toolbar_.Hide();
    if (acts & kActReset) {
        toolbar_.Hide();
        if (pane_.hwnd()) ::ShowWindow(pane_.hwnd(), SW_HIDE);
        graphs_->Clear();
    }
    if (acts & kActPlaceToolbar) PlaceToolbar();
    if (acts & kActRepaint) {
        ::InvalidateRect(hwnd(), nullptr, TRUE);
        ::UpdateWindow(hwnd());
    }
    if (acts & kActInvalidate) ::InvalidateRect(hwnd(), nullptr, TRUE);
    if ((acts & kActFinish) && !CopySelection(true)) return;
    if (acts & kActClose) CloseCapture();
}

void CScreenCaptureWnd::CloseCapture() {
    ::KillTimer(hwnd(), kRepaintTimer);
    ::PostMessageW(hwnd(), WM_CLOSE, 0, 0);
}

void CScreenCaptureWnd::ResetSelection() { Apply(machine_.Reset(), 0, 0); }

// The tool bar and the pane are pop-ups placed in screen coordinates; they are worked
// out in overlay coordinates on the monitor that holds the selection.
void CScreenCaptureWnd::PlaceToolbar() {
    if (!selection_->HasSelection() || !toolbar_.hwnd()) return;
    const Rect sel = selection_->GetRect();
    const Rect norm = SelectionGeometry::Normalized(sel);
    const int dpi = layout_.DpiFor(norm);
    toolbar_.SetDpi(dpi);
    const Rect place = PlaceToolbarRect(sel, toolbar_.GetWidth(), layout_.MonitorFor(norm), dpi);
    toolbar_.Move(ToRECT(layout_.ToScreen(place)));
    toolbar_.Show();
}

void CScreenCaptureWnd::PlaceColorPane(int paneMode) {
    if (!pane_.Create(hwnd())) return;
    const Rect t = layout_.ToOverlay(ToRect(toolbar_.GetRect()));
    const Rect sel = SelectionGeometry::Normalized(selection_->GetRect());
    const Rect monitor = layout_.MonitorFor(sel);
    const int dpi = layout_.DpiFor(sel);
    const PanePlacement place = kestrow::PlaceColorPane(t, sel, monitor, dpi);
    if (place.toolbarTop)
        toolbar_.Move(ToRECT(layout_.ToScreen(
            Rect{t.left, *place.toolbarTop, t.right, *place.toolbarTop + Scale(kToolbarHeight, dpi)})));
    const Point pane = layout_.ToScreen(place.pane);
    pane_.SetDpi(dpi);
    pane_.SetScreenArea(ToRECT(layout_.ToScreen(monitor)));
    ::SetWindowPos(pane_.hwnd(), nullptr, pane.x, pane.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    pane_.KeepOnScreen();
    pane_.SetMode(paneMode);
}

win::Bitmap CScreenCaptureWnd::TakeSelection(bool warnIfSmall) {
    if (warnIfSmall && IsTooSmallToSave(selection_->GetRect())) WarnTooSmall();
    ::KillTimer(hwnd(), kRepaintTimer);
    // Clipped to the snapshot, which holds the whole virtual screen; the shapes go on a
    // copy, so a failed copy leaves the capture as it was for another try.
    return CopyRegionWith(snapshot_.dc(), ToRECT(SelectionGeometry::Normalized(selection_->GetRect())),
                          RECT{0, 0, screenWidth_, screenHeight_}, [this](HDC dc) { graphs_->DrawAll(dc); });
}

// Everything of the capture leaves the screen before its output is made: the result
// message may wait on a busy launcher, and the save dialog must not open over the
// frozen screen. The pane and the tool bar go first: hidden after the overlay, one of
// them would be activated in its place and own the save dialog over the live desktop.
void CScreenCaptureWnd::HideCapture() {
    if (pane_.hwnd()) ::ShowWindow(pane_.hwnd(), SW_HIDE);
    toolbar_.Hide();
    ::ShowWindow(hwnd(), SW_HIDE);
}

void CScreenCaptureWnd::SaveSelection() {
    if (!selection_->HasSelection()) return;
    win::Bitmap bitmap = TakeSelection(true);
    if (!bitmap) return;
    HideCapture();
    OutputToFile(bitmap.Get(), RESULT_REGION_SAVED);
}

// Finishing copies too, so that a double-click does not throw the selection and its
// shapes away. The clipboard is opened while the capture is still up: when another
// program keeps it busy the user is told and can copy or save again.
bool CScreenCaptureWnd::CopySelection(bool warnIfSmall) {
    if (!selection_->HasSelection()) return true;
    win::Bitmap bitmap = TakeSelection(warnIfSmall);
    if (!bitmap) return true;  // nothing on screen to copy: closes, reporting nothing
    bool copied = false;
    {
        win::ClipboardSession clipboard(hwnd(), kClipboardPatienceMs);
        if (!clipboard.IsOpen()) {
            ::MessageBoxW(hwnd(), kClipboardBusyText, L"", MB_OK | MB_ICONWARNING);
            ::SetTimer(hwnd(), kRepaintTimer, 1000, nullptr);
            return false;
        }
        // The capture leaves the screen before the clipboard takes the picture: under
        // Wine, hiding windows that own fresh clipboard data held other programs (and
        // the result message) up for seconds.
        HideCapture();
        copied = PutOnClipboard(std::move(bitmap), clipboard);
    }
    if (copied) SendResultInt(RESULT_REGION_COPIED, 0);
    return true;
}

// The pin shows before the capture hides, so the picture never leaves the screen.
void CScreenCaptureWnd::PinSelection() {
    if (!selection_->HasSelection() || !pinHandler_) return;
    graphs_->CommitText();
    const Rect sel = SelectionGeometry::Normalized(selection_->GetRect());
    const Point corner = layout_.ToScreen(Point{std::max(sel.left, 0), std::max(sel.top, 0)});
    win::Bitmap bitmap = TakeSelection(false);
    if (!bitmap || !pinHandler_(std::move(bitmap), corner)) {
        ::SetTimer(hwnd(), kRepaintTimer, 1000, nullptr);
        return;
    }
    HideCapture();
    CloseCapture();
}

void CScreenCaptureWnd::RedrawNow() {
    ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CScreenCaptureWnd::ChooseTool(const ToolRow& tool) {
    if (!selection_->HasSelection()) return;  // nothing to draw on yet
    machine_.ToolCommand();
    graphs_->SetActiveTool(tool.id);
    SetClassCursor(ToolCursorHandle(tool.cursor));
    graphs_->CommitText();
    RedrawNow();
    PlaceColorPane(tool.paneMode);
}

void CScreenCaptureWnd::OnCommand(WPARAM wp, LPARAM lp) {
    if (HIWORD(wp) == EN_UPDATE) {  // from the annotation text box
        graphs_->FitTextBox();
        RedrawNow();
        return;
    }
    if (const ToolRow* tool = FindTool(int(wp))) return ChooseTool(*tool);
    switch (wp) {
        case ID_UNDO:
            if (graphs_->ShapeCount() == 0) return ResetSelection();
            graphs_->Undo();
            RedrawNow();
            break;
        case ID_REDO:
            graphs_->Redo();
            RedrawNow();
            break;
        case ID_CANCEL: CloseCapture(); break;
        case ID_FINISH:
            graphs_->CommitText();
            if (CopySelection(true)) CloseCapture();
            break;
        case ID_COPY:
            if (CopySelection(false)) CloseCapture();
            break;
        case ID_SAVEAS:
            SaveSelection();
            CloseCapture();
            break;
        case ID_PIN: PinSelection(); break;
    }
}

void CScreenCaptureWnd::OnTextFontChanged() {
    // Only the pane on this thread announces a font; the message carries no data we
    // trust, the font is read from the pane.
    if (::InSendMessageEx(nullptr) & ISMEX_SEND) return;
    if (pane_.hwnd()) graphs_->SetTextBoxFont(pane_.FontHeight(), pane_.FaceName());
}

void CScreenCaptureWnd::OnKeyDown(UINT vk) {
    // Keys typed into the text box stay there: it has the focus while it is open.
    if (const int command = ShortcutFor(vk, ::GetKeyState(VK_CONTROL) < 0, ::GetKeyState(VK_SHIFT) < 0)) {
        if (selection_->HasSelection()) OnCommand(WPARAM(command), 0);
        return;
    }
    POINT p;
    ::GetCursorPos(&p);
    switch (KeyActionFor(vk)) {
        case KeyAction::Close: CloseCapture(); return;
        case KeyAction::Nothing: return;
        case KeyAction::MoveLeft: --p.x; break;
        case KeyAction::MoveRight: ++p.x; break;
        case KeyAction::MoveUp: --p.y; break;
        case KeyAction::MoveDown: ++p.y; break;
        case KeyAction::Repost: break;
    }
    ::SetCursorPos(p.x, p.y);
}

LRESULT CScreenCaptureWnd::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
    switch (msg) {
        case WM_COMMAND:
        case WM_KEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_LBUTTONDBLCLK: FinishStart(); break;  // input that may need the tool bar
    }
    switch (msg) {
        case WM_CREATE: OnCreate(); return 0;
        case WM_CLOSE:
            if (toolbar_.hwnd()) ::PostMessageW(toolbar_.hwnd(), WM_CLOSE, 0, 0);
            ::PostQuitMessage(0);
            return 0;
        case WM_COMMAND: OnCommand(wp, lp); return 0;
        case WM_KEYDOWN: OnKeyDown(UINT(wp)); return 0;
        case WM_MOUSEMOVE: Apply(machine_.MouseMove(x, y), x, y); return 0;
        case WM_LBUTTONDOWN: Apply(machine_.LeftDown(x, y, toolbar_.GetChecked() >= 0), x, y); return 0;
        case WM_LBUTTONUP: Apply(machine_.LeftUp(x, y, windowTracker_->GetRect()), x, y); return 0;
        case WM_RBUTTONUP: Apply(machine_.RightUp(), x, y); return 0;
        case WM_LBUTTONDBLCLK: Apply(machine_.DoubleClick(windowTracker_->GetRect()), x, y); return 0;
        case WM_HOTKEY: return 0;
        case WM_TIMER:
            if (wp == kRepaintTimer) RedrawNow();
            return 0;
        case WM_TEXT_FONT_CHANGED: OnTextFontChanged(); return 0;
        case WM_CTLCOLOREDIT:
            ::SetTextColor(reinterpret_cast<HDC>(wp), pane_.GetColor());
            return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
        case WM_PAINT:
            if (painted_) {
                buffer_.Paint(hwnd(), [this](HDC dc, const RECT& c) { Render(dc, c); });
            } else {
                PaintFirstFrame();
                painted_ = true;
                win::start_trace::Mark("painted");
                win::start_trace::Write();
                ::PostMessageW(hwnd(), WM_FINISH_START, 0, 0);
            }
            // The first frame's dim waits for the rest of the start: on a busy machine,
            // a thread started now competes with the display server putting that frame
            // on screen.
            if (started_) StartDimming();
            if (focusPending_) {
                focusPending_ = false;
                ::SetForegroundWindow(hwnd());
                win::start_trace::Mark("focused");
            }
            return 0;
        case WM_FINISH_START: FinishStart(); return 0;
        case WM_ERASEBKGND:
        case WM_PRINTCLIENT:
            return buffer_.HandlePaint(hwnd(), msg, wp, [this](HDC dc, const RECT& c) { Render(dc, c); });
    }
    return DefaultMessage(msg, wp, lp);
}

}  // namespace kestrow
