#pragma once
// Annotation shapes: geometry fed by mouse points, painted with GDI into any DC.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/win/gdi.h"
#include "worker/annotation/graph_geometry.h"
#include "worker/annotation/shape_kind.h"

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
    // Paints what lies under a shape, in overlay coordinates, into a DC.
    using PaintBelow = std::function<void(HDC)>;
    // Called once when a valid shape is done, before it joins the list; a shape that
    // reads what is under it takes it now. False when the shape cannot be kept.
    virtual bool Finish(const PaintBelow&) { return true; }
    // The number a step-number shape shows; 0 for every other shape.
    virtual int StepNumber() const { return 0; }
    virtual void SetStepNumber(int) {}
    // A box holding every pixel Draw can touch in `dc` (whose font measures text); a
    // shape that cannot tell covers everything.
    virtual Rect Bounds(HDC dc) const;

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
    Rect Bounds(HDC dc) const override;
};

// A hollow ellipse inscribed in the rectangle of the start and end points.
class GraphEllipse : public Graph {
public:
    bool IsValid() const override;
    void Draw(HDC dc, int) const override;
    Rect Bounds(HDC dc) const override;
};

// An arrow with a filled head at the end point.
class GraphLine : public Graph {
public:
    bool IsValid() const override;
    void Draw(HDC dc, int) const override;
    Rect Bounds(HDC dc) const override;
};

// A free-hand stroke; the brush and the highlighter.
class GraphFluoreScence : public Graph {
public:
    bool IsValid() const override { return points_.size() > 1; }
    void Draw(HDC dc, int) const override;
    void AddPoint(int x, int y) override { points_.push_back({x, y}); }
    Rect Bounds(HDC dc) const override;
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
    Rect Bounds(HDC dc) const override;
    const std::wstring& text() const { return text_; }

private:
    std::wstring text_;
};

// A rectangle of the picture pixelated: blocks of pen-width pixels, each one colour,
// the average of what lay under it when the drag ended. An outline while dragged.
class GraphMosaic : public Graph {
public:
    bool IsValid() const override;
    void Draw(HDC dc, int) const override;
    bool Finish(const PaintBelow& below) override;
    Rect Bounds(HDC dc) const override;
    // The drag's rectangle within the clip rectangle, in blocks of the pen width.
    MosaicGrid Grid() const;
    bool finished() const { return !averages_.empty(); }
    // Block colours (0x00RRGGBB) row by row, once finished.
    const std::vector<uint32_t>& averages() const { return averages_; }

private:
    MosaicGrid grid_;
    std::vector<uint32_t> averages_;
    mutable std::vector<uint32_t> rows_;  // one row of blocks as pixels, reused by every paint
};

// A numbered filled circle at the pointer; the pen width is its diameter, which grows
// for numbers too wide for it.
class GraphStepNumber : public Graph {
public:
    bool IsValid() const override { return !firstPointPending_; }
    void Draw(HDC dc, int) const override;
    // The circle follows the pointer until the button is released.
    void AddPoint(int x, int y) override;
    int StepNumber() const override { return number_; }
    void SetStepNumber(int number) override { number_ = number; }
    Rect Bounds(HDC dc) const override;
    // The circle's box when drawn into `dc` (its font measures the number).
    RECT CircleIn(HDC dc) const;

private:
    HFONT NumberFont() const;

    int number_ = 1;
    mutable win::Font numberFont_;
    mutable int fontDiameter_ = 0;
    // The number's width as last measured, for that number and diameter: every paint
    // of the magnifier asks each shape for its bounds.
    mutable int measuredNumber_ = 0, measuredDiameter_ = 0, measuredWidth_ = 0;
};

// A new shape of a kind, with what the kind sets up (the highlighter's opacity).
std::unique_ptr<Graph> CreateGraph(ShapeKind kind);

}  // namespace kestrow
