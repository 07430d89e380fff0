#include <windows.h>

#include "common/win/start_trace.h"
#include "worker/worker_app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    kestrow::win::start_trace::Mark("entry");
    kestrow::SCApp app(instance);
    return app.Run(::GetCommandLineW());
}
