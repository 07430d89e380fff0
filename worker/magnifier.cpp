#include "worker/magnifier.h"

#include "common/dpi.h"
#include "common/win/rect.h"
#include "common/theme_manager.h"
#include "worker/magnifier_layout.h"
#include "worker/selection_tracker.h"
#include "worker/window_tracker.h"

namespace kestrow {

using win::ToRECT;
using win::ToRect;

namespace {

void Line(HDC dc, int x0, int y0, int x1, int y1) {
    ::MoveToEx(dc, x0, y0, nullptr);
    ::LineTo(dc, x1, y1);
}
}  // namespace

CMagnifier::CMagnifier(int w, int h, const CSelectionTracker& selection)
    : screenWidth_(w), screenHeight_(h), layout_(ScreenLayout::Single(w, h)), selection_(selection) {}

void CMagnifier::Draw(HDC dc) {
    POINT p;
    ::GetCursorPos(&p);
    const Point mouse = layout_.ToOverlay(Point{p.x, p.y});
    DrawAt(dc, POINT{mouse.x, mouse.y});
}

void CMagnifier::DrawAt(HDC dc, POINT p) {
    const Point mouse{p.x, p.y};
    BoxKey key{mouse,
               layout_.DpiAt(mouse),
               selection_.IsDrawingNew(),
               selection_.geometry().active(),
               selection_.GetRect(),
               windowTracker_ ? windowTracker_->GetRect() : Rect{},
               trackWindow_};
    const Rect box = MagnifierBox(mouse, layout_.MonitorAt(mouse), key.dpi);

    lastBox_ = box;
    lastMouse_ = p;
    lastCrosshair_ = ShowsScreenCrosshair(key.drawingNew, key.selection);
    if (lastCrosshair_) {
        win::ScopedSelect pen(dc, red_.Get());
        Line(dc, 0, p.y, screenWidth_, p.y);
        Line(dc, p.x, 0, p.x, screenHeight_);
    }
    // A repaint with nothing changed (an uncovered window, the periodic refresh) copies
    // the box back: zooming and the text were most of a full repaint's drawing.
    if (cached_ && key == cachedKey_ && boxCache_.width() == box.Width() &&
        boxCache_.height() == box.Height()) {
        ::BitBlt(dc, box.left, box.top, box.Width(), box.Height(), boxCache_.dc(), 0, 0, SRCCOPY);
        return;
    }
    DrawBox(dc, box, key);
    // Only a back buffer is read back: reading a window means a round trip to the display.
    cached_ = false;
    if (::GetObjectType(dc) != OBJ_MEMDC) return;
    if (boxCache_.width() != box.Width() || boxCache_.height() != box.Height())
        boxCache_.Create(dc, box.Width(), box.Height());
    cached_ = boxCache_ &&
              ::BitBlt(boxCache_.dc(), 0, 0, box.Width(), box.Height(), dc, box.left, box.top, SRCCOPY);
    cachedKey_ = key;
}

void CMagnifier::DrawBox(HDC dc, const Rect& box, const BoxKey& key) {
    const Point mouse = key.mouse;
    const int dpi = key.dpi;
    const int zoomSize = Scale(kZoomSize, dpi);
    const int saved = ::SaveDC(dc);
    const RECT boxRc = ToRECT(box);
    ::FillRect(dc, &boxRc, boxBrush_.Get());

    if (!zoom_) zoom_.Create(dc, kZoomSource, kZoomSource);
    if (zoom_) {
        HDC z = zoom_.dc();
        const RECT all{0, 0, kZoomSource, kZoomSource};
        ::FillRect(z, &all, boxBrush_.Get());  // what lies outside the picture
        const ZoomCopy c = ZoomSourceCopy(mouse, screenWidth_, screenHeight_);
        if (source_ && !c.from.IsEmpty())
            ::BitBlt(z, c.to.x, c.to.y, c.from.Width(), c.from.Height(), source_, c.from.left, c.from.top,
                     SRCCOPY);
        if (drawOnPicture_) {
            // The outline and annotations, drawn in screen coordinates onto the piece.
            POINT oldOrg;
            ::SetViewportOrgEx(z, -c.source.left, -c.source.top, &oldOrg);
            drawOnPicture_(z);
            ::SetViewportOrgEx(z, oldOrg.x, oldOrg.y, nullptr);
        }
        if (ShowsZoomCross(key.drawingNew)) {
            win::ScopedSelect pen(z, red_.Get());
            Line(z, 0, 25, 50, 25);
            Line(z, 25, 0, 25, 50);
        }
        ::SetStretchBltMode(dc, COLORONCOLOR);
        ::StretchBlt(dc, box.left, box.top, zoomSize, zoomSize, z, 0, 0, kZoomSource, kZoomSource, SRCCOPY);
    }

    RECT strip = ToRECT(MagnifierTextStrip(box, dpi));
    ::FillRect(dc, &strip, stripBrush_.Get());
    const Size size = ReadoutSize(key.trackWindow, key.selection, key.tracked);
    const std::wstring sizeText = SizeText(size.cx, size.cy);
    // The position as the system knows it, negative left of and above the primary monitor.
    const Point onScreen = layout_.ToScreen(mouse);
    const std::wstring posText = PositionText(onScreen.x, onScreen.y);
    ::SelectObject(dc, CThemeManager::Instance().StandardFont(dpi));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(0, 0, 255));
    const UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    ::DrawTextW(dc, sizeText.c_str(), int(sizeText.size()), &strip, flags);
    strip.left += Scale(100, dpi);
    ::DrawTextW(dc, posText.c_str(), int(posText.size()), &strip, flags);
    ::RestoreDC(dc, saved);
}

void CMagnifier::AddDrawnAreas(std::vector<Rect>& areas) const {
    areas.push_back(lastBox_);
    if (lastCrosshair_) {
        areas.push_back({0, lastMouse_.y, screenWidth_, lastMouse_.y + 1});
        areas.push_back({lastMouse_.x, 0, lastMouse_.x + 1, screenHeight_});
    }
}

}  // namespace kestrow
