#include "launcher/launcher_app.h"

#include <windows.h>

#include <commctrl.h>

#include "common/win/com.h"
#include "common/win/handles.h"
#include "common/win/message_loop.h"
#include "launcher/app_config.h"
#include "launcher/main_dlg.h"
#include "launcher/online/app_statics.h"

namespace kestrow {

int RunLauncher() {
    int exitCode = 0;
    win::ComInit com;
    // Bar classes, and the tab and hotkey controls of the settings dialog.
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_HOTKEY_CLASS};
    ::InitCommonControlsEx(&icc);

    win::UniqueHandle instance(::CreateEventW(nullptr, TRUE, TRUE, kSingleInstanceEvent));
    if (::GetLastError() == ERROR_ALREADY_EXISTS) return 1;

    {
        win::MessageLoop loop;
        win::GdiplusSession gdiplus;
        PostStartPing();
        CMainDlg mainDlg(loop, AppConfig::Get());
        if (mainDlg.CreateMain()) {
            SetMainWindow(mainDlg.hwnd());
            exitCode = loop.Run();
            SetMainWindow(nullptr);
        }
    }
    instance.Reset();
    ::Sleep(kExitLingerMs);
    return exitCode;
}

}  // namespace kestrow
