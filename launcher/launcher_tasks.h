#pragma once
// Which worker task each tray command and hotkey starts. Platform-free.

namespace kestrow {

// What the launcher follows of a started worker.
enum class TaskKind {
    Background,     // runs and ends on its own; nothing to follow
    ClipboardCopy,  // its exit code tells whether the clipboard was set (the copy toast)
    Interactive,    // on screen until the user ends it: at most one runs at a time
};

struct WorkerTask {
    const wchar_t* parameters;  // the worker's whole parameter string, passed as is
    TaskKind kind;
};

inline constexpr WorkerTask kRegionCaptureTask{L"-tasktype screencapture", TaskKind::Interactive};
inline constexpr WorkerTask kWindowCaptureTask{L"-tasktype screencapture -trackwindow true",
                                               TaskKind::Interactive};
inline constexpr WorkerTask kFullScreenFileTask{L"-tasktype screenfullscreentofile", TaskKind::Background};
inline constexpr WorkerTask kFullScreenClipboardTask{L"-tasktype screenfullscreentoclipboard",
                                                     TaskKind::ClipboardCopy};
inline constexpr WorkerTask kColorCaptureTask{L"-tasktype colorcapture", TaskKind::Interactive};

// The task of a tray menu command, or null for commands that start no worker.
const WorkerTask* TaskForCommand(unsigned commandId);
// The task of a hotkey id, or null for ids that aren't ours.
const WorkerTask* TaskForHotkey(unsigned hotkeyId);

}  // namespace kestrow
