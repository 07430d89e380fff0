#include "worker/start_services.h"

#include <windows.h>
#include <commctrl.h>

#include "common/win/com.h"

namespace kestrow {

void StartServices() {
    static win::ComInit com;
    static win::GdiplusSession gdiplus(false);
    static const bool controls = [] {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES};
        return ::InitCommonControlsEx(&icc) != FALSE;
    }();
    (void)controls;
}

}  // namespace kestrow
