#pragma once
#include <string>
#include <vector>

namespace kestrow {

enum class TaskType {
    ScreenCapture = 0,
    ColorCapture = 1,
    FullScreenToClipboard = 2,
    FullScreenToFile = 3,
};

struct TaskOptions {
    int trackWindow = 0;
    TaskType taskType = TaskType::ScreenCapture;
};

// Reads the worker's arguments (args[0] is the program name). Returns false when the
// command line is unusable, in which case the worker starts the launcher instead.
bool ParseTaskArgs(const std::vector<std::wstring>& args, TaskOptions& options);

}  // namespace kestrow
