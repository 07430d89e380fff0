#pragma once
// CScreenCaptureWnd: the region capture. It freezes the screen into a full-screen
// topmost overlay, routes the mouse through OverlayMachine to the selection, the
// window tracker or the annotations, and copies or saves the selected region.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/screen_layout.h"
#include "common/win/double_buffer.h"
#include "common/win/gdi.h"
#include "common/win/window.h"
#include "worker/annotation/color_select_pane.h"
#include "worker/annotation/graph_manager.h"
#include "worker/annotation/tool_table.h"
#include "worker/toolbar/toolbar_wnd.h"
#include "worker/magnifier.h"
#include "worker/overlay_state.h"
#include "worker/selection_tracker.h"
#include "worker/window_tracker.h"
#include "worker/worker_ids.h"

namespace kestrow {

class CScreenCaptureWnd : public win::Window {
public:
    static constexpr wchar_t kClassName[] = L"KESTROW_ScreenCaptureWndClass";
    static constexpr UINT_PTR kRepaintTimer = 1;

    explicit CScreenCaptureWnd(bool trackWindow);
    ~CScreenCaptureWnd() override;

    // The hidden pop-up window, as start-up creates it; false when it cannot be made.
    bool Create(const wchar_t* title, DWORD style, DWORD exStyle);
    void StartCapture();

    // Takes the selection with its shapes and where it stood on the screen; true when
    // it has been pinned there, and the capture then leaves.
    using PinHandler = std::function<bool(win::Bitmap picture, Point topLeft)>;
    void SetPinHandler(PinHandler handler) { pinHandler_ = std::move(handler); }

    void CloseCapture();
    void ResetSelection();
    void SaveSelection();
    void PinSelection();
    // Copies the selection with its shapes; false when the clipboard stayed busy and
    // the capture stays on screen.
    bool CopySelection(bool warnIfSmall);
    void PlaceToolbar();
    void PlaceColorPane(int paneMode);

    // One full render into `dc` (the back buffer of a paint).
    void Render(HDC dc, const RECT& client);

    OverlayState state() const { return machine_.state(); }
    const CSelectionTracker& selection() const { return *selection_; }
    CToolbarWnd& toolbar() { return toolbar_; }
    CColorSelectPane& colorPane() { return pane_; }
    CGraphManager& graphs() { return *graphs_; }
    HDC snapshotDC() const { return snapshot_.dc(); }
    // Waits for the dimmed copy if it is still being computed.
    HDC dimmedDC() {
        WaitForDimmed();
        return dimmed_.dc();
    }
    const ScreenLayout& layout() const { return layout_; }
    // The monitors the capture works on; StartCapture reads them from the system.
    void SetLayout(const ScreenLayout& layout);
    // Grabs the screen into the snapshot and dims a copy; public for the benchmark.
    bool TakeSnapshot(int width, int height);
    // Makes what the first frame does not need: COM, GDI+ and the common controls, the
    // tool bar with its art, the annotation text box. Runs once, just after the first
    // paint or at the first input that needs them if that comes earlier.
    void FinishStart();

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnCreate();
    void PaintFirstFrame();
    void OnCommand(WPARAM wp, LPARAM lp);
    void ChooseTool(const ToolRow& tool);
    void RedrawNow();
    void OnKeyDown(UINT vk);
    void OnTextFontChanged();
    void Apply(uint32_t actions, int x, int y);
    void SetClassCursor(HCURSOR cursor);
    // The selected region of the snapshot with the annotations burnt in, the "too small"
    // warning given first when asked for and the repaint timer stopped.
    win::Bitmap TakeSelection(bool warnIfSmall);
    void HideCapture();
    void WaitForDimmed();
    void StartDimming();

    win::MemorySurface snapshot_;
    win::MemorySurface dimmed_;
    // Computes the dimmed copy from the snapshot's pixels once the start is finished,
    // and after each later frame (the frame before a selection needs only the snapshot). Touches memory only,
    // never a window; joined, or the dim done at once if it has not begun, before anything reads the dimmed
    // copy or changes the snapshot.
    std::thread dimming_;
    bool dimPending_ = false;
    bool startedBefore_ = false;  // the layout read when the overlay was made is used once
    bool focusPending_ = false;   // shown, to take the focus once its frame is up
    HCURSOR crosshair_;
    std::unique_ptr<CSelectionTracker> selection_;
    OverlayMachine machine_;
    CToolbarWnd toolbar_;
    CColorSelectPane pane_;
    std::unique_ptr<CGraphManager> graphs_;
    std::unique_ptr<CMagnifier> magnifier_;
    std::unique_ptr<CWindowTracker> windowTracker_;
    int screenWidth_, screenHeight_;
    // The monitors as the capture started; the overlay covers the virtual screen.
    ScreenLayout layout_;
    bool trackWindow_;
    win::DoubleBuffer buffer_;
    // What the last render drew over its background, so the next one into the same
    // buffer over the same background restores only those areas.
    std::vector<Rect> overdraw_;
    HDC lastTarget_ = nullptr;
    HDC lastBackground_ = nullptr;
    OverlayState lastState_ = OverlayState::Idle;
    bool painted_ = false;  // the first paint is over
    bool started_ = false;  // FinishStart has run
    PinHandler pinHandler_;
};

}  // namespace kestrow
