#pragma once
// CGraphManager: the annotations drawn on a selection. This version holds no shapes
// yet: it takes the overlay's calls, paints nothing, counts zero and clears.
#include <windows.h>

namespace kestrow {

class CSelectionTracker;
class CToolbarWnd;

class CGraphManager {
public:
    CGraphManager(CSelectionTracker& selection, CToolbarWnd& toolbar) : selection_(selection), toolbar_(toolbar) {}

    void Create(HWND overlay) { overlay_ = overlay; }
    void OnLButtonDown(int x, int y) {}
    void OnMouseMove(int x, int y) {}
    void OnLButtonUp(int x, int y) {}
    void CommitText() {}
    void FitTextBox() {}
    void SetTextBoxFont(int height, wchar_t* face) {}
    void DrawAll(HDC dc) {}
    void Undo() {}
    int ShapeCount() const { return 0; }
    void Clear() {}

private:
    CSelectionTracker& selection_;
    CToolbarWnd& toolbar_;
    HWND overlay_ = nullptr;
};

}  // namespace kestrow
