#include <windows.h>

#include "worker/worker_app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    kestrow::SCApp app(instance);
    return app.Run(::GetCommandLineW());
}
