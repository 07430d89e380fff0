#include "launcher/toast_fade.h"

#include "common/dpi.h"

namespace kestrow {

ToastStep ToastFade::Start() {
    alpha_ = 0;
    ToastStep step;
    step.applyAlpha = true;
    step.startTimer = TIMER_FADE_IN;
    step.period = kFadePeriodMs;
    return step;
}

ToastStep ToastFade::OnTimer(unsigned timerId) {
    ToastStep step;
    switch (timerId) {
        case TIMER_FADE_IN:
            alpha_ += kToastAlphaStep;
            if (alpha_ >= kToastMaxAlpha) {
                alpha_ = kToastMaxAlpha;
                step.killTimer = TIMER_FADE_IN;
                step.startTimer = TIMER_HOLD;
                step.period = kHoldPeriodMs;
            }
            step.applyAlpha = true;
            break;
        case TIMER_HOLD:
            step.killTimer = TIMER_HOLD;
            step.startTimer = TIMER_FADE_OUT;
            step.period = kFadePeriodMs;
            break;
        case TIMER_FADE_OUT:
            alpha_ -= kToastAlphaStep;
            if (alpha_ <= 0) {
                alpha_ = 0;
                step.killTimer = TIMER_FADE_OUT;
                step.close = true;
            }
            step.applyAlpha = true;
            break;
    }
    return step;
}

ToastMetrics ToastMetricsFor(int dpi) { return {Scale(400, dpi), Scale(30, dpi), Scale(15, dpi)}; }

}  // namespace kestrow
