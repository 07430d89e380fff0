#pragma once
// The annotation tools, one row each: the tool bar makes its buttons from these rows,
// the overlay and the annotation manager look a command up here, and the colour pane
// takes its mode from it. A new tool is a new row (and its shape).
#include "worker/annotation/annotation_layout.h"
#include "worker/annotation/shape_kind.h"
#include "worker/worker_ids.h"

namespace kestrow {

// The pointer over the selection while a tool is chosen.
enum class ToolCursor { Cross, IBeam };

struct ToolRow {
    int id;  // the tool bar command
    ShapeKind shape;
    int paneMode;  // PaneMode
    ToolCursor cursor;
    int icon;  // index in the tool bar's icon strip
    const wchar_t* label;
    const wchar_t* tooltip;
};

// Left to right as on the tool bar.
inline constexpr ToolRow kTools[] = {
    {ID_TOOL_RECTANGLE, ShapeKind::Rectangle, kPaneShapes, ToolCursor::Cross, 0, L"矩形", L"矩形工具"},
    {ID_TOOL_ELLIPSE, ShapeKind::Ellipse, kPaneShapes, ToolCursor::Cross, 8, L"椭圆", L"椭圆工具"},
    {ID_TOOL_ARROW, ShapeKind::Arrow, kPaneShapes, ToolCursor::Cross, 1, L"箭头", L"箭头工具"},
    {ID_TOOL_BRUSH, ShapeKind::Brush, kPaneShapes, ToolCursor::Cross, 2, L"画刷", L"画刷工具"},
    {ID_TOOL_HIGHLIGHTER, ShapeKind::Highlighter, kPaneHighlighter, ToolCursor::Cross, 9, L"荧光笔",
     L"荧光笔工具"},
    {ID_TOOL_TEXT, ShapeKind::Text, kPaneText, ToolCursor::Cross, 3, L"文字", L"文字工具"},
    {ID_TOOL_MOSAIC, ShapeKind::Mosaic, kPaneMosaic, ToolCursor::Cross, 10, L"马赛克", L"马赛克工具"},
    {ID_TOOL_STEP, ShapeKind::StepNumber, kPaneStep, ToolCursor::Cross, 11, L"序号", L"序号工具"},
};

// The row of a tool command, or null for any other command.
constexpr const ToolRow* FindTool(int id) {
    for (const ToolRow& row : kTools)
        if (row.id == id) return &row;
    return nullptr;
}

}  // namespace kestrow
