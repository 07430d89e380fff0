#pragma once
// What new shapes and committed text look like: the colour pane's current choice,
// handed to the annotation manager as a value.
#include <cstdint>
#include <string>

namespace kestrow {

struct AnnotationStyle {
    uint32_t color = 0x000000FF;  // COLORREF, 0x00BBGGRR
    int penWidth = 3;
    int fontHeight = 12;
    std::wstring fontFace;
};

}  // namespace kestrow
