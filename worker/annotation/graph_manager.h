#pragma once
// CGraphManager: turns the overlay's mouse input into annotation shapes, keeps the
// finished ones, runs the in-place text box and paints them all. CGraphEdit is that
// text box: an EDIT control of its own class that grows with its text.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/geometry.h"
#include "common/win/gdi.h"
#include "common/win/window.h"
#include "worker/annotation/annotation_style.h"
#include "worker/annotation/graph.h"
#include "worker/annotation/shape_history.h"
#include "worker/annotation/tool_table.h"

namespace kestrow {

class CSelectionTracker;

// The system cursor a tool shows over the selection.
HCURSOR ToolCursorHandle(ToolCursor cursor);

class CGraphEdit : public win::Window {
public:
    static constexpr wchar_t kClassName[] = L"KESTROW_GraphEdit";

    bool Create(HWND parent);
    void SetPlacement(const RECT& r) { placement_ = r; }
    const RECT& placement() const { return placement_; }
    void SetLimit(const RECT& r) { limit_ = r; }
    // Grows the box to its text (right to the limit, then by whole lines downward).
    void Fit();
    std::wstring Text() const;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void ApplyPlacement();

    RECT format_{};
    RECT placement_{20, 20, 200, 80};
    RECT limit_{};
    HFONT font_ = nullptr;
};

class CGraphManager {
public:
    // `style` gives the colour, width and text font at the moment a shape needs them.
    CGraphManager(CSelectionTracker& selection, std::function<AnnotationStyle()> style);
    ~CGraphManager();
    CGraphManager(const CGraphManager&) = delete;
    CGraphManager& operator=(const CGraphManager&) = delete;

    void Create(HWND overlay);
    // The tool new presses draw with (-1 for none); cleared by Clear().
    void SetActiveTool(int toolId) { tool_ = toolId; }
    int ActiveTool() const { return tool_; }
    void OnLButtonDown(int x, int y);
    void OnMouseMove(int x, int y);
    void OnLButtonUp(int x, int y);
    void CommitText();
    void FitTextBox();
    void SetTextBoxFont(int height, const std::wstring& face);
    // The finished shapes that reach into `dc`'s clip box, then the shape being drawn.
    void DrawAll(HDC dc) const;
    // The selection as the overlay shows it while annotating, onto `dc` that holds
    // `background` already: the selection (inside, frame, handles) and the finished
    // shapes come from a layer made again only when they change; the shape being drawn
    // goes on top. `client` is the overlay's size. Returns the area drawn over.
    Rect DrawOnOverlay(HDC dc, HDC background, const RECT& client);
    // The background under the layer changed (a new snapshot).
    void DropLayer();
    void Undo();
    // Brings back the newest undone shape, if a new one has not been drawn since.
    void Redo();
    int ShapeCount() const { return int(history_.shapes().size()); }
    void Clear();

    const Graph* current() const { return current_.get(); }
    const Graph* shape(int index) const { return history_.shapes()[size_t(index)].get(); }
    CGraphEdit& textBox() { return textBox_; }

    // The shape a tool id creates, or null for anything else.
    static std::unique_ptr<Graph> CreateShape(int toolId);
    // One more than the highest step number in the list, so undo gives numbers back.
    int NextStepNumber() const;

private:
    Rect SelectionRect() const;
    bool TextToolActive() const;
    // The selected part of the frozen screen with the finished shapes on it.
    void PaintBelowNewShape(HDC dc) const;
    void SetOverlayCursor(HCURSOR cursor);
    // Brings the layer up to date: the new shapes drawn onto it when the ones it holds
    // are still the first in the list and the new ones fit on it, else made afresh.
    void UpdateLayer(HDC reference, HDC background, const RECT& client);

    std::unique_ptr<Graph> current_;
    ShapeHistory<std::unique_ptr<Graph>> history_;
    HWND overlay_ = nullptr;
    int nextId_ = 0;
    int tool_ = -1;
    CSelectionTracker& selection_;
    std::function<AnnotationStyle()> style_;
    CGraphEdit textBox_;
    win::Font textBoxFont_;
    HCURSOR outsideCursor_ = nullptr;
    // What the layer holds: the overlay's pixels over `rect` (in overlay coordinates)
    // for this selection, DPI and background, with these shapes, in this order.
    struct Layer {
        win::MemorySurface surface;
        Rect rect;
        Rect selection;
        int dpi = 0;
        HDC background = nullptr;
        std::vector<int> ids;
    } layer_;
};

}  // namespace kestrow
