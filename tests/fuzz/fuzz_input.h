#pragma once
// Turning fuzzer bytes into the values the parsers take.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "common/geometry.h"

namespace kestrow::fuzz {

// UTF-16 code units, two bytes each, as the platform hands them over.
inline std::wstring Wide(FuzzedDataProvider& in, size_t maxUnits) {
    std::wstring s;
    while (s.size() < maxUnits && in.remaining_bytes() >= 2)
        s += static_cast<wchar_t>(in.ConsumeIntegral<uint16_t>());
    return s;
}

// Coordinates of any virtual screen that can exist, and then some: the geometry is
// promised to work within ±2^20, far past the largest desktop.
inline int Coord(FuzzedDataProvider& in) { return in.ConsumeIntegralInRange(-(1 << 20), 1 << 20); }
inline Point AnyPoint(FuzzedDataProvider& in) { return {Coord(in), Coord(in)}; }
inline Rect AnyRect(FuzzedDataProvider& in) { return {Coord(in), Coord(in), Coord(in), Coord(in)}; }

}  // namespace kestrow::fuzz
