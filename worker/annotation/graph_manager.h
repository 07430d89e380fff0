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

namespace kestrow {

class CSelectionTracker;

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
    void DrawAll(HDC dc) const;
    void Undo();
    int ShapeCount() const { return int(shapes_.size()); }
    void Clear();

    const Graph* current() const { return current_.get(); }
    const Graph* shape(int index) const { return shapes_[size_t(index)].get(); }
    CGraphEdit& textBox() { return textBox_; }

    // The shape a tool id creates, or null for anything else.
    static std::unique_ptr<Graph> CreateShape(int toolId);

private:
    Rect SelectionRect() const;
    void SetOverlayCursor(HCURSOR cursor);

    std::unique_ptr<Graph> current_;
    std::vector<std::unique_ptr<Graph>> shapes_;
    HWND overlay_ = nullptr;
    int nextId_ = 0;
    int tool_ = -1;
    CSelectionTracker& selection_;
    std::function<AnnotationStyle()> style_;
    CGraphEdit textBox_;
    win::Font textBoxFont_;
    HCURSOR outsideCursor_ = nullptr;
};

}  // namespace kestrow
