#pragma once
// The toast's life: fade in to alpha 150 in steps of 10 every 50 ms, hold 3000 ms,
// fade out the same way, then close. Platform-free; the window follows its steps.

namespace kestrow {

inline constexpr unsigned TIMER_FADE_IN = 100;
inline constexpr unsigned TIMER_HOLD = 101;
inline constexpr unsigned TIMER_FADE_OUT = 102;
inline constexpr unsigned kFadePeriodMs = 50;
inline constexpr unsigned kHoldPeriodMs = 3000;
inline constexpr int kToastMaxAlpha = 150;
inline constexpr int kToastAlphaStep = 10;

// The toast's size and font height on a monitor of `dpi`: 400 x 30 with a 15-pixel
// font at 96 DPI, whatever the text's length.
struct ToastMetrics {
    int width;
    int height;
    int fontHeight;
};
ToastMetrics ToastMetricsFor(int dpi);

struct ToastStep {
    unsigned killTimer = 0;   // timer id to stop, 0 for none
    unsigned startTimer = 0;  // timer id to start, 0 for none
    unsigned period = 0;      // period of startTimer
    bool applyAlpha = false;  // set the window's opacity to alpha()
    bool close = false;       // destroy the window
};

class ToastFade {
public:
    // The first step when the toast is shown: alpha 0 and the fade-in timer.
    ToastStep Start();
    ToastStep OnTimer(unsigned timerId);
    int alpha() const { return alpha_; }

private:
    int alpha_ = 0;
};

}  // namespace kestrow
