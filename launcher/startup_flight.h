#pragma once
// The splash window's schedule and the arithmetic of its fly-away towards the
// notification area. Platform-free.
#include "common/geometry.h"

namespace kestrow {

inline constexpr int kSplashWidth = 450;
inline constexpr int kSplashHeight = 300;
inline constexpr unsigned TIMER_SPLASH_HOLD = 1;
inline constexpr unsigned TIMER_SPLASH_FLY = 2;
inline constexpr unsigned kSplashHoldMs = 3000;
inline constexpr unsigned kSplashFlyStepMs = 50;

struct FlyStep {
    Rect window;  // where the splash goes; may be empty or inverted
    bool done;    // the stop test holds: hide the splash and report the end
};

// One step from `window`: the left edge moves 120 and the right edge 60 pixels to the
// right, the top edge 2 * dy and the bottom edge dy down, dy keeping the desktop's
// aspect ratio. Done once the right or bottom edge reaches its stop edge.
FlyStep FlyAwayStep(Rect window, Rect desktop, int stopRight, int stopBottom);

}  // namespace kestrow
