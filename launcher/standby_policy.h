#pragma once
// Which requests go to the waiting worker, and when the launcher stops keeping one.
// Platform-free.
#include "launcher/launcher_tasks.h"

namespace kestrow {

// A handed-over worker must say it has read the task within this time, or a fresh one is
// started. Its window may take longer: the display server paces that, alike for both.
inline constexpr unsigned kStandbyWakeDeadlineMs = 200;
// A replacement after a fresh start waits this long, not to slow that start down.
inline constexpr unsigned kStandbyRestartDelayMs = 1000;

class StandbyPolicy {
public:
    // After this many refusals in a row (a worker too old to wait, a machine too slow to
    // wake it in time) every request starts a fresh worker for the rest of the run:
    // each refusal costs the user the whole deadline.
    static constexpr int kMaxRefusals = 2;

    bool KeepsOne(bool settingOn) const { return settingOn && refusals_ < kMaxRefusals; }
    // Only what puts a window on screen is worth waking for; the rest start fresh.
    bool Uses(const WorkerTask& task, bool settingOn) const {
        return task.kind == TaskKind::Interactive && KeepsOne(settingOn);
    }
    void Woke() { refusals_ = 0; }
    void Refused() { ++refusals_; }

private:
    int refusals_ = 0;
};

}  // namespace kestrow
