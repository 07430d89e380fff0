#pragma once
// CMagnifier: the 4x zoom box in a screen corner with the position and size readout,
// and the red crosshair through the mouse while no selection stands.
#include <windows.h>

#include <functional>
#include <vector>

#include <map>

#include "common/geometry.h"
#include "common/screen_layout.h"
#include "common/win/gdi.h"

namespace kestrow {

class CSelectionTracker;
class CWindowTracker;

class CMagnifier {
public:
    CMagnifier(int screenWidth, int screenHeight, const CSelectionTracker& selection);

    void SetWindowTracker(const CWindowTracker* tracker) { windowTracker_ = tracker; }
    void SetTrackWindow(bool on) { trackWindow_ = on; }
    // The monitors: the box goes to a corner of the one under the mouse, scaled with
    // its DPI. Without it the screen is one monitor at 96 DPI.
    void SetLayout(const ScreenLayout& layout) {
        layout_ = layout;
        Invalidate();
    }
    // The picture the zoom reads, and what is drawn on it before zooming (the
    // selection outline and the annotations), given in screen coordinates.
    void Attach(HDC source, std::function<void(HDC)> drawOnPicture) {
        source_ = source;
        drawOnPicture_ = std::move(drawOnPicture);
        Invalidate();
    }
    // The picture or what is drawn on it changed in a way the magnifier cannot see (a
    // new snapshot, other shapes): the next draw makes the box afresh.
    void Invalidate() { cached_ = false; }

    // Reads the live pointer position.
    void Draw(HDC dc);
    // The same at a given pointer position in overlay coordinates.
    void DrawAt(HDC dc, POINT mouse);
    // What the last draw covered: the box and the crosshair lines.
    void AddDrawnAreas(std::vector<Rect>& areas) const;

private:
    // Everything the box shows that the magnifier reads for itself; with an equal key
    // and no Invalidate() since, the box drawn last time is copied back.
    struct BoxKey {
        Point mouse;
        int dpi = 0;
        bool drawingNew = false;
        bool selectionActive = false;
        Rect selection;
        Rect tracked;
        bool trackWindow = false;
        friend bool operator==(const BoxKey&, const BoxKey&) = default;
    };
    void DrawBox(HDC dc, const Rect& box, const BoxKey& key);

    HDC source_ = nullptr;
    int screenWidth_, screenHeight_;
    ScreenLayout layout_;
    const CSelectionTracker& selection_;
    const CWindowTracker* windowTracker_ = nullptr;
    bool trackWindow_ = false;
    std::function<void(HDC)> drawOnPicture_;
    Rect lastBox_;
    POINT lastMouse_{};
    bool lastCrosshair_ = false;
    win::MemorySurface zoom_;  // 50 x 50, kept between paints
    win::MemorySurface boxCache_;
    BoxKey cachedKey_;
    bool cached_ = false;
    win::Pen red_{::CreatePen(PS_SOLID, 1, RGB(255, 0, 0))};
    win::Brush boxBrush_{::CreateSolidBrush(RGB(51, 51, 51))};
    win::Brush stripBrush_{::CreateSolidBrush(RGB(127, 127, 127))};
};

}  // namespace kestrow
