#include <windows.h>

#include "launcher/launcher_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) { return kestrow::RunLauncher(); }
