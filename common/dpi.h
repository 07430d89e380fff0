#pragma once
// Sizes of the programs' own furniture on a monitor of a given DPI: the sizes the
// programs are drawn with at 96 DPI, scaled and rounded to the nearest pixel (halves
// away from zero, as MulDiv does). Captured pixels are never scaled.

namespace kestrow {

inline constexpr int kBaseDpi = 96;

constexpr int Scale(int px, int dpi) {
    if (dpi <= 0 || dpi == kBaseDpi) return px;
    const long long n = static_cast<long long>(px) * dpi;
    return static_cast<int>(n >= 0 ? (n + kBaseDpi / 2) / kBaseDpi : -((-n + kBaseDpi / 2) / kBaseDpi));
}

}  // namespace kestrow
