#pragma once
// The logic's Rect and the platform's RECT, converted at the edge.
#include <windows.h>

#include "common/geometry.h"

namespace kestrow::win {

inline RECT ToRECT(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }
inline Rect ToRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace kestrow::win
