#include "pagegrab/pagegrab_app.h"

#include <commctrl.h>

#include "common/win/com.h"
#include "common/win/message_loop.h"
#include "pagegrab/main_dlg.h"

namespace kestrow::pagegrab {

int RunPageGrab(std::unique_ptr<BrowserView> view, int showCommand) {
    win::ComInit com;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    win::MessageLoop loop;
    CMainDlg dialog(loop, std::move(view));
    if (!dialog.CreateMain()) return 0;
    ::ShowWindow(dialog.hwnd(), showCommand);
    return loop.Run();
}

}  // namespace kestrow::pagegrab
