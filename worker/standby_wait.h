#pragma once
// A worker the launcher keeps waiting for its next request (started with "-standby"
// and the values of two handles it inherits): it brings up what every task needs,
// tells the launcher it is ready, and sleeps on the pipe until a task arrives or the
// launcher is gone. Nothing of the screen is read before the task arrives.
#include <windows.h>

#include <string>
#include <vector>

#include "common/standby_handover.h"
#include "common/win/handles.h"

namespace kestrow {

enum class StandbyOutcome {
    NotStandby,    // the handles are not ours: the line is read as any other
    LauncherGone,  // the pipe broke before a task came: end without a trace
    Woken,         // `args` holds the task's command line
};

// `program` is argument 0 of the worker's own command line. The worker releases the
// signal semaphore once when ready and once when it has read a task; when woken, `shown`
// is that semaphore, to release once more when the task's window is on screen.
StandbyOutcome WaitForTask(const StandbyHandles& handles, const std::wstring& program,
                           std::vector<std::wstring>& args, win::UniqueHandle& shown);

}  // namespace kestrow
