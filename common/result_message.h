#pragma once
// The one message a worker sends the launcher: a WM_COPYDATA record whose dwData is
// one of these codes. Shared by Worker.exe (sender) and KestrowCapture.exe (receiver).
#include <cstdint>

namespace kestrow {

enum ResultCode : uint32_t {
    RESULT_FULLSCREEN_SAVED = 1524,  // payload: UTF-16 path, no terminator
    RESULT_REGION_SAVED = 1525,      // payload: UTF-16 path, no terminator
    RESULT_REGION_COPIED = 1526,     // payload: 32-bit integer 0
    RESULT_COLOR_COPIED = 1527,      // payload: 32-bit integer 0
    // The capture's overlay is gone but its worker runs on as a pinned picture: the
    // one-capture rule no longer counts it. Payload: the worker's 32-bit process id.
    RESULT_OVERLAY_GONE = 1528,
};

// The window class of a capture pinned to the screen; the launcher asks each of its
// pins to close (WM_CLOSE) when it quits.
inline constexpr wchar_t kPinWindowClass[] = L"KESTROW_PinWndClass";

// The whole-screen-to-clipboard task sends no record; its exit code tells the launcher
// whether the clipboard was set.
inline constexpr int kExitClipboardSet = 0;
inline constexpr int kExitClipboardNotSet = 2;

inline constexpr wchar_t kResultWindowClass[] = L"KestrowStudio.ScreenCapture";
inline constexpr wchar_t kResultWindowTitle[] = L"KestrowStudio.ScreenCapture.IPC";

inline constexpr bool IsResultCode(uint64_t code) {
    return code >= RESULT_FULLSCREEN_SAVED && code <= RESULT_OVERLAY_GONE;
}

// Codes whose payload is a file path; the others carry a 4-byte number.
inline constexpr bool ResultCarriesPath(uint64_t code) {
    return code == RESULT_FULLSCREEN_SAVED || code == RESULT_REGION_SAVED;
}

}  // namespace kestrow
