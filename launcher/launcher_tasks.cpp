#include "launcher/launcher_tasks.h"

#include "launcher/launcher_ids.h"
#include "launcher/res/resource.h"

namespace kestrow {

const WorkerTask* TaskForCommand(unsigned commandId) {
    switch (commandId) {
        case ID_TRAY_SCREENCAPTURE: return &kRegionCaptureTask;
        case ID_TRAY_FULLSCREEN_FILE: return &kFullScreenFileTask;
        case ID_TRAY_FULLSCREEN_CLIPBOARD: return &kFullScreenClipboardTask;
        case ID_TRAY_WINDOWCAPTURE: return &kWindowCaptureTask;
        case ID_TRAY_COLORCAPTURE: return &kColorCaptureTask;
    }
    return nullptr;
}

const WorkerTask* TaskForHotkey(unsigned hotkeyId) {
    switch (hotkeyId) {
        case HOTKEY_ID_SCREENCAPTURE: return &kRegionCaptureTask;
        case HOTKEY_ID_FULLSCREEN_FILE: return &kFullScreenFileTask;
        case HOTKEY_ID_FULLSCREEN_CLIPBOARD: return &kFullScreenClipboardTask;
        case HOTKEY_ID_COLORCAPTURE: return &kColorCaptureTask;
    }
    return nullptr;
}

}  // namespace kestrow
