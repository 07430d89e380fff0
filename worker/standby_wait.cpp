#include "worker/standby_wait.h"

#include "common/win/command_line.h"
#include "common/win/gdi.h"
#include "common/win/start_trace.h"
#include "worker/colorpicker/color_capture_wnd.h"
#include "worker/screen_capture_wnd.h"
#include "common/win/window.h"

namespace kestrow {
namespace {

bool ReadAll(HANDLE pipe, std::string& buffer) {
    size_t done = 0;
    while (done < buffer.size()) {
        DWORD got = 0;
        if (!::ReadFile(pipe, buffer.data() + done, DWORD(buffer.size() - done), &got, nullptr) || got == 0)
            return false;
        done += got;
    }
    return true;
}

// What a fresh worker spends its start on, short of the screen: the window classes, the
// display connection and a process's first window (Wine sets up its window management
// for the thread then, about 12 ms). COM, GDI+ and the common controls stay out: the
// overlay brings them up after its first frame as a fresh one does, and waiting without
// them keeps about 4 MiB of their pages out of this idle process.
void Prepare() {
    win::RegisterStandardClass(CScreenCaptureWnd::kClassName);
    CColorCaptureWnd::RegisterClass();
    win::WindowDC screen(nullptr);
    ::GetDeviceCaps(screen.Get(), BITSPIXEL);
    win::Window first;
    first.Create({.className = CScreenCaptureWnd::kClassName,
                  .style = WS_POPUP,
                  .exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST,
                  .x = 0,
                  .y = 0,
                  .width = 1,
                  .height = 1});
}

}  // namespace

StandbyOutcome WaitForTask(const StandbyHandles& handles, const std::wstring& program,
                           std::vector<std::wstring>& args, win::UniqueHandle& shown) {
    HANDLE pipe = reinterpret_cast<HANDLE>(handles.pipe);
    HANDLE signal = reinterpret_cast<HANDLE>(handles.signal);
    // A line typed by hand names no handles of ours.
    if (::GetFileType(pipe) != FILE_TYPE_PIPE || ::WaitForSingleObject(signal, 0) == WAIT_FAILED)
        return StandbyOutcome::NotStandby;
    win::UniqueHandle pipeOwner(pipe), signalOwner(signal);
    Prepare();
    ::ReleaseSemaphore(signal, 1, nullptr);
    std::string header(kHandoverHeaderBytes, '\0');
    if (!ReadAll(pipe, header)) return StandbyOutcome::LauncherGone;
    const auto length = HandoverLength(header);
    if (!length) return StandbyOutcome::LauncherGone;
    std::string body(size_t(*length) * 2, '\0');
    if (!ReadAll(pipe, body)) return StandbyOutcome::LauncherGone;
    // Taken: the launcher's deadline is for this, not for the paint, which a busy
    // display server may hold up.
    ::ReleaseSemaphore(signal, 1, nullptr);
    win::start_trace::Mark("woken");
    const std::wstring line = L"\"" + program + L"\" " + HandoverParameters(body);
    args = win::SplitCommandLine(line.c_str());
    shown = std::move(signalOwner);
    return StandbyOutcome::Woken;
}

}  // namespace kestrow
