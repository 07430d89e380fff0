#pragma once
// Annotation shapes: geometry fed by mouse points, painted with GDI into any DC.
#include <windows.h>

#include <string>
#include <vector>

#include "common/win/gdi.h"

namespace kestrow {

class Graph {
public:
    Graph() = default;
    Graph(const Graph&) = delete;
    Graph& operator=(const Graph&) = delete;
    virtual ~Graph() = default;

    virtual bool IsValid() const { return false; }
    int GetId() const { return id_; }
    void SetId(int id) { id_ = id; }
    void SetColor(COLORREF color) { color_ = color; }
    void SetPenWidth(int width) { penWidth_ = width; }
    void SetAlpha(int alpha) { alpha_ = alpha; }
    // The second argument is unused; callers pass 1.
    virtual void Draw(HDC dc, int) const = 0;
    virtual void SetText(const std::wstring&) {}
    virtual void AddPoint(int x, int y);
    void SetClipRect(const RECT* rect) { clip_ = *rect; }
    // Takes ownership of the font.
    void SetFont(HFONT font) { font_.Reset(font); }

    COLORREF color() const { return color_; }
    int penWidth() const { return penWidth_; }
    int alpha() const { return alpha_; }
    POINT start() const { return start_; }
    POINT end() const { return end_; }
    const RECT& clipRect() const { return clip_; }

protected:
    int id_ = 0;
    COLORREF color_ = 0x000017FF;
    int penWidth_ = 1;
    RECT clip_{};
    bool firstPointPending_ = true;
    POINT start_{};
    POINT end_{};
    int alpha_ = 255;
    win::Font font_;
};

// A hollow rectangle from the start to the end point.
class GraphRectagle : public Graph {
public:
    bool IsValid() const override;
    void Draw(HDC dc, int) const override;
};

// A hollow ellipse inscribed in the rectangle of the start and end points.
class GraphEllipse : public Graph {
public:
    bool IsValid() const override;
    void Draw(HDC dc, int) const override;
};

// An arrow with a filled head at the end point.
class GraphLine : public Graph {
public:
    bool IsValid() const override;
    void Draw(HDC dc, int) const override;
};

// A free-hand stroke; the brush and the highlighter.
class GraphFluoreScence : public Graph {
public:
    bool IsValid() const override { return points_.size() > 1; }
    void Draw(HDC dc, int) const override;
    void AddPoint(int x, int y) override { points_.push_back({x, y}); }
    const std::vector<POINT>& points() const { return points_; }

private:
    std::vector<POINT> points_;
};

// Text wrapped inside the rectangle of the start and end points.
class GraphText : public Graph {
public:
    bool IsValid() const override { return !text_.empty(); }
    void Draw(HDC dc, int) const override;
    void SetText(const std::wstring& text) override { text_ = text; }
    void AddPoint(int x, int y) override;
    const std::wstring& text() const { return text_; }

private:
    std::wstring text_;
};

}  // namespace kestrow
