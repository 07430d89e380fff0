#include "worker/annotation/graph_manager.h"

#include <algorithm>

#include "common/dpi.h"
#include "common/win/rect.h"
#include "worker/annotation/annotation_layout.h"
#include "worker/res/resource.h"
#include "worker/selection_geometry.h"
#include "worker/selection_tracker.h"
#include "worker/worker_ids.h"

namespace kestrow {

namespace {

constexpr int kTextLimit = 1024;
constexpr DWORD kTextBoxStyle = WS_CHILD | WS_TABSTOP | ES_WANTRETURN | ES_MULTILINE;
constexpr wchar_t kTextBoxFace[] = L"宋体";

// The box's own state, whether or not the overlay is on screen.
bool IsOpen(HWND box) { return box && (::GetWindowLongW(box, GWL_STYLE) & WS_VISIBLE); }

// The text font: the chosen height and face, every other choice left to the system.
HFONT TextFont(int height, const std::wstring& face) {
    return ::CreateFontW(height, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, face.c_str());
}

Rect Union(const Rect& a, const Rect& b) {
    if (a.IsEmpty()) return b;
    if (b.IsEmpty()) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

bool Covers(const Rect& outer, const Rect& inner) {
    return inner.IsEmpty() || (outer.left <= inner.left && outer.top <= inner.top &&
                               outer.right >= inner.right && outer.bottom >= inner.bottom);
}

bool Intersects(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Draws shapes in overlay coordinates onto a surface whose corner is at `origin`.
class OriginAt {
public:
    OriginAt(HDC dc, Point origin) : dc_(dc) { ::SetViewportOrgEx(dc, -origin.x, -origin.y, &old_); }
    ~OriginAt() { ::SetViewportOrgEx(dc_, old_.x, old_.y, nullptr); }
    OriginAt(const OriginAt&) = delete;
    OriginAt& operator=(const OriginAt&) = delete;

private:
    HDC dc_;
    POINT old_{};
};

bool Inside(Point p, const Rect& s) {
    return p.x >= s.left && p.x < s.right && p.y >= s.top && p.y < s.bottom;
}

}  // namespace

bool CGraphEdit::Create(HWND parent) {
    placement_ = {20, 20, 200, 80};
    return CreateSuperclassed(L"EDIT", {.className = kClassName,
                                        .style = kTextBoxStyle,
                                        .x = placement_.left,
                                        .y = placement_.top,
                                        .width = placement_.right - placement_.left,
                                        .height = placement_.bottom - placement_.top,
                                        .parent = parent}) != nullptr;
}

std::wstring CGraphEdit::Text() const {
    wchar_t buffer[kTextLimit] = {};
    ::GetWindowTextW(hwnd(), buffer, kTextLimit);
    return buffer;
}

void CGraphEdit::ApplyPlacement() {
    format_ = {1, 1, placement_.right - placement_.left - 1, placement_.bottom - placement_.top - 1};
    if (!hwnd() || ::IsRectEmpty(&format_)) return;
    ::SetWindowPos(hwnd(), nullptr, 0, 0, placement_.right - placement_.left,
                   placement_.bottom - placement_.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    DefaultMessage(EM_SETRECT, 0, reinterpret_cast<LPARAM>(&format_));
}

void CGraphEdit::Fit() {
    if (!hwnd()) return;
    const std::wstring text = Text();
    RECT measured{0, 0, 0, 0};
    {
        win::WindowDC dc(hwnd());
        win::ScopedSelect font(dc.Get(), font_);
        ::DrawTextW(dc.Get(), text.c_str(), int(text.size()), &measured, DT_CALCRECT);
    }
    const Rect r = FitTextBox({placement_.left, placement_.top, placement_.right, placement_.bottom},
                              {limit_.left, limit_.top, limit_.right, limit_.bottom},
                              measured.right - measured.left, measured.bottom - measured.top);
    placement_ = win::ToRECT(r);
    ApplyPlacement();
}

LRESULT CGraphEdit::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE: {
            const LRESULT result = DefaultMessage(msg, wp, lp);
            ApplyPlacement();
            ::InvalidateRect(hwnd(), nullptr, TRUE);
            return result;
        }
        case WM_SIZE: {
            const LRESULT result = DefaultMessage(msg, wp, lp);
            // A size other than the placement's (the 30 x 30 a new box is shown at) would
            // stick out of the selection: back to the placement. The resize sends WM_SIZE
            // once more, with the placement's size, which stops here.
            if (LOWORD(lp) != placement_.right - placement_.left ||
                HIWORD(lp) != placement_.bottom - placement_.top) {
                ApplyPlacement();
            } else {
                format_ = {1, 1, placement_.right - placement_.left - 1,
                           placement_.bottom - placement_.top - 1};
                if (!::IsRectEmpty(&format_))
                    DefaultMessage(EM_SETRECT, 0, reinterpret_cast<LPARAM>(&format_));
            }
            return result;
        }
        case WM_SETFONT: {
            font_ = reinterpret_cast<HFONT>(wp);
            const LRESULT result = DefaultMessage(msg, wp, lp);
            Fit();
            return result;
        }
        case WM_ERASEBKGND: {
            HDC dc = reinterpret_cast<HDC>(wp);
            RECT client;
            ::GetClientRect(hwnd(), &client);
            ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_WINDOW));
            win::Pen pen(::CreatePen(PS_DASHDOT, 1, RGB(0, 0, 0)));
            win::ScopedSelect selectPen(dc, pen.Get());
            win::ScopedSelect selectBrush(dc, ::GetStockObject(NULL_BRUSH));
            ::Rectangle(dc, client.left, client.top, client.right, client.bottom);
            return 1;
        }
    }
    return DefaultMessage(msg, wp, lp);
}

HCURSOR ToolCursorHandle(ToolCursor cursor) {
    return ::LoadCursorW(nullptr, cursor == ToolCursor::IBeam ? IDC_IBEAM : IDC_CROSS);
}

CGraphManager::CGraphManager(CSelectionTracker& selection, std::function<AnnotationStyle()> style)
    : selection_(selection), style_(std::move(style)) {}

CGraphManager::~CGraphManager() { textBox_.Destroy(); }

std::unique_ptr<Graph> CGraphManager::CreateShape(int toolId) {
    const ToolRow* tool = FindTool(toolId);
    return tool ? CreateGraph(tool->shape) : nullptr;
}

int CGraphManager::NextStepNumber() const {
    int highest = 0;
    for (const auto& shape : history_.shapes()) highest = std::max(highest, shape->StepNumber());
    return highest + 1;
}

void CGraphManager::PaintBelowNewShape(HDC dc) const {
    const Rect s = SelectionRect();
    if (HDC frozen = selection_.snapshot())
        ::BitBlt(dc, s.left, s.top, s.Width(), s.Height(), frozen, s.left, s.top, SRCCOPY);
    for (const auto& shape : history_.shapes()) shape->Draw(dc, 1);
}

bool CGraphManager::TextToolActive() const {
    const ToolRow* tool = FindTool(tool_);
    return tool && tool->shape == ShapeKind::Text;
}

void CGraphManager::Create(HWND overlay) {
    overlay_ = overlay;
    outsideCursor_ = ::LoadCursorW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_CROSSHAIR));
    if (!outsideCursor_) outsideCursor_ = ::LoadCursorW(nullptr, IDC_ARROW);
    if (!textBox_.Create(overlay)) return;
    textBoxFont_.Reset(::CreateFontW(12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, kTextBoxFace));
    ::SendMessageW(textBox_.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(textBoxFont_.Get()), TRUE);
}

Rect CGraphManager::SelectionRect() const { return SelectionGeometry::Normalized(selection_.GetRect()); }

void CGraphManager::SetOverlayCursor(HCURSOR cursor) {
    if (!overlay_) return;
    ::SetClassLongPtrW(overlay_, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(cursor));
    POINT p;
    if (::GetCursorPos(&p) && ::WindowFromPoint(p) == overlay_) ::SetCursor(cursor);
}

void CGraphManager::OnLButtonDown(int x, int y) {
    if (IsOpen(textBox_.hwnd())) {
        CommitText();
        return;
    }
    const Rect s = SelectionRect();
    const Point p = ClampToSelection({x, y}, s);
    if (!Inside(p, s)) return;
    const int tool = ActiveTool();
    current_ = CreateShape(tool);
    if (!current_) return;
    const RECT clip{s.left, s.top, s.right, s.bottom};
    const AnnotationStyle style = style_();
    current_->SetPenWidth(style.penWidth);
    current_->SetColor(style.color);
    current_->SetClipRect(&clip);
    current_->SetId(nextId_++);
    current_->SetStepNumber(NextStepNumber());
    current_->AddPoint(p.x, p.y);
    if (TextToolActive() && textBox_.hwnd()) {
        const RECT box{p.x, p.y, std::min(p.x + 30, s.right), std::min(p.y + 30, s.bottom)};
        textBox_.SetPlacement(box);
        ::SetWindowTextW(textBox_.hwnd(), L"");
        textBox_.SetLimit(clip);
        ::SetWindowPos(textBox_.hwnd(), nullptr, p.x, p.y, 30, 30, SWP_SHOWWINDOW | SWP_NOZORDER);
        ::SetFocus(textBox_.hwnd());
        SetOverlayCursor(ToolCursorHandle(ToolCursor::IBeam));
    } else {
        if (textBox_.hwnd()) ::ShowWindow(textBox_.hwnd(), SW_HIDE);
        SetOverlayCursor(::LoadCursorW(nullptr, IDC_CROSS));
    }
}

void CGraphManager::OnMouseMove(int x, int y) {
    const Rect s = SelectionRect();
    Point p{x, y};
    if (current_) {
        p = ClampToSelection(p, s);
        current_->AddPoint(p.x, p.y);
    }
    const ToolRow* tool = FindTool(tool_);
    SetOverlayCursor(Inside(p, s) ? ToolCursorHandle(tool ? tool->cursor : ToolCursor::Cross)
                                  : outsideCursor_);
}

void CGraphManager::OnLButtonUp(int x, int y) {
    const Point p = ClampToSelection({x, y}, SelectionRect());
    if (!current_) return;
    if (TextToolActive()) return;
    current_->AddPoint(p.x, p.y);
    // Finished before it joins the list: what lies under it is the frozen screen and
    // the shapes so far.
    if (current_->IsValid() && current_->Finish([this](HDC dc) { PaintBelowNewShape(dc); }))
        history_.Add(std::move(current_));
    current_.reset();
}

void CGraphManager::CommitText() {
    if (!IsOpen(textBox_.hwnd())) return;
    ::ShowWindow(textBox_.hwnd(), SW_HIDE);
    const std::wstring text = textBox_.Text();
    if (!text.empty() && current_) {
        const RECT& box = textBox_.placement();
        current_->SetText(text);
        current_->AddPoint(box.right, box.bottom);
        const AnnotationStyle style = style_();
        current_->SetColor(style.color);
        current_->SetFont(TextFont(style.fontHeight, style.fontFace));
        history_.Add(std::move(current_));
    }
    current_.reset();
}

void CGraphManager::FitTextBox() {
    if (IsOpen(textBox_.hwnd())) textBox_.Fit();
}

void CGraphManager::SetTextBoxFont(int height, const std::wstring& face) {
    win::Font font(TextFont(height, face));
    if (!font) return;
    // The box lets go of the old font before it is deleted.
    if (textBox_.hwnd())
        ::SendMessageW(textBox_.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    textBoxFont_.Reset(font.Release());
}

// The magnifier's piece is 50 pixels square: most shapes lie outside it, and skipping
// them keeps its redraw during a drag from costing as much as drawing every shape.
void CGraphManager::DrawAll(HDC dc) const {
    RECT clip{};
    const bool culled = ::GetClipBox(dc, &clip) != ERROR;
    const Rect visible{int(clip.left), int(clip.top), int(clip.right), int(clip.bottom)};
    for (const auto& shape : history_.shapes())
        if (!culled || Intersects(shape->Bounds(dc), visible)) shape->Draw(dc, 1);
    if (current_) current_->Draw(dc, 1);
}

void CGraphManager::DropLayer() { layer_ = {}; }

// A repaint with hundreds of shapes drew them all every time, far longer than the
// frame's copy to the window; what they make changes only with the list.
void CGraphManager::UpdateLayer(HDC reference, HDC background, const RECT& client) {
    const auto& shapes = history_.shapes();
    const Rect selection = selection_.GetRect();
    const int dpi = selection_.dpi();
    if (!background) {
        layer_ = {};
        return;
    }
    const bool sameBase = layer_.surface && layer_.selection == selection && layer_.dpi == dpi &&
                          layer_.background == background && layer_.ids.size() <= shapes.size();
    bool extends = sameBase;
    for (size_t i = 0; extends && i < layer_.ids.size(); ++i) extends = shapes[i]->GetId() == layer_.ids[i];
    for (size_t i = layer_.ids.size(); extends && i < shapes.size(); ++i)
        extends = Covers(layer_.rect, shapes[i]->Bounds(layer_.surface.dc()));
    if (extends) {
        if (layer_.ids.size() == shapes.size()) return;
        OriginAt origin(layer_.surface.dc(), {layer_.rect.left, layer_.rect.top});
        for (size_t i = layer_.ids.size(); i < shapes.size(); ++i) {
            shapes[i]->Draw(layer_.surface.dc(), 1);
            layer_.ids.push_back(shapes[i]->GetId());
        }
        return;
    }
    // Where the frame and handles reach (as the overlay restores them) and every shape.
    const Rect sel = SelectionGeometry::Normalized(selection);
    const int reach = Scale(5, dpi);
    Rect rect{sel.left - reach, sel.top - reach, sel.right + reach, sel.bottom + reach};
    {
        win::MemorySurface probe(reference, 1, 1);
        for (const auto& shape : shapes) rect = Union(rect, shape->Bounds(probe.dc()));
    }
    rect = {std::max<int>(rect.left, client.left), std::max<int>(rect.top, client.top),
            std::min<int>(rect.right, client.right), std::min<int>(rect.bottom, client.bottom)};
    layer_ = {};
    if (rect.IsEmpty() || !layer_.surface.Create(reference, rect.Width(), rect.Height())) return;
    HDC layer = layer_.surface.dc();
    ::BitBlt(layer, 0, 0, rect.Width(), rect.Height(), background, rect.left, rect.top, SRCCOPY);
    {
        OriginAt origin(layer, {rect.left, rect.top});
        selection_.Draw(layer);
        for (const auto& shape : shapes) shape->Draw(layer, 1);
    }
    layer_.rect = rect;
    layer_.selection = selection;
    layer_.dpi = dpi;
    layer_.background = background;
    for (const auto& shape : shapes) layer_.ids.push_back(shape->GetId());
}

Rect CGraphManager::DrawOnOverlay(HDC dc, HDC background, const RECT& client) {
    UpdateLayer(dc, background, client);
    Rect drawn{int(client.left), int(client.top), int(client.right), int(client.bottom)};
    if (layer_.surface) {
        drawn = layer_.rect;
        ::BitBlt(dc, drawn.left, drawn.top, drawn.Width(), drawn.Height(), layer_.surface.dc(), 0, 0,
                 SRCCOPY);
    } else {
        selection_.Draw(dc);
        for (const auto& shape : history_.shapes()) shape->Draw(dc, 1);
    }
    if (current_) {
        current_->Draw(dc, 1);
        drawn = Union(drawn, current_->Bounds(dc));
    }
    return drawn;
}

void CGraphManager::Undo() { history_.Undo(); }

void CGraphManager::Redo() { history_.Redo(); }

void CGraphManager::Clear() {
    tool_ = -1;
    current_.reset();
    history_.Clear();
    DropLayer();
    if (textBox_.hwnd()) ::ShowWindow(textBox_.hwnd(), SW_HIDE);
}

}  // namespace kestrow
