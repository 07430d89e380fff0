#pragma once
// Which worker task each tray command and hotkey starts. Platform-free.

namespace kestrow {

struct WorkerTask {
    const wchar_t* parameters;  // the worker's whole parameter string, passed as is
    bool watch;                 // report the end of the worker process
};

inline constexpr WorkerTask kRegionCaptureTask{L"-tasktype screencapture", false};
inline constexpr WorkerTask kWindowCaptureTask{L"-tasktype screencapture -trackwindow true", false};
inline constexpr WorkerTask kFullScreenFileTask{L"-tasktype screenfullscreentofile", false};
inline constexpr WorkerTask kFullScreenClipboardTask{L"-tasktype screenfullscreentoclipboard",
                                                     true};
inline constexpr WorkerTask kColorCaptureTask{L"-tasktype colorcapture", false};

// The task of a tray menu command, or null for commands that start no worker.
const WorkerTask* TaskForCommand(unsigned commandId);
// The task of a hotkey id, or null for ids that aren't ours.
const WorkerTask* TaskForHotkey(unsigned hotkeyId);

}  // namespace kestrow
