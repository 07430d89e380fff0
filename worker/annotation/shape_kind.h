#pragma once
// The kinds of annotation shape. No <windows.h>: the tool table reads it too, and the
// tool table says which tool draws which kind.

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

}  // namespace kestrow
