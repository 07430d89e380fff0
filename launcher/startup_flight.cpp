#include "launcher/startup_flight.h"

namespace kestrow {

FlyStep FlyAwayStep(Rect window, Rect desktop, int stopRight, int stopBottom) {
    constexpr int step = 60;
    // A desktop of no width cannot give an aspect ratio; the splash then only slides right.
    const int dy = desktop.right > 0 ? desktop.bottom * step / desktop.right : 0;
    window.left += 2 * step;
    window.right += step;
    window.top += 2 * dy;
    window.bottom += dy;
    return {window, window.right >= stopRight || window.bottom >= stopBottom};
}

}  // namespace kestrow
