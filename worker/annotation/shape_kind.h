#pragma once
// The kinds of annotation shape, and which tool command draws which. No <windows.h>:
// the tool table and the pane read it too.
#include <optional>

#include "worker/worker_ids.h"

namespace kestrow {

enum class ShapeKind {
    Rectangle,
    Ellipse,
    Arrow,
    Brush,
    Highlighter,
    Text,
    Mosaic,
    StepNumber,
};

// The shape a tool command draws; none for commands that draw nothing (and for -1).
constexpr std::optional<ShapeKind> ShapeKindForTool(int toolId) {
    switch (toolId) {
        case ID_TOOL_RECTANGLE: return ShapeKind::Rectangle;
        case ID_TOOL_ELLIPSE: return ShapeKind::Ellipse;
        case ID_TOOL_ARROW: return ShapeKind::Arrow;
        case ID_TOOL_BRUSH: return ShapeKind::Brush;
        case ID_TOOL_HIGHLIGHTER: return ShapeKind::Highlighter;
        case ID_TOOL_TEXT: return ShapeKind::Text;
        case ID_TOOL_MOSAIC: return ShapeKind::Mosaic;
        case ID_TOOL_STEP: return ShapeKind::StepNumber;
    }
    return std::nullopt;
}

}  // namespace kestrow
