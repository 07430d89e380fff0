#pragma once
// Resource ids of Worker.exe.
#define IDI_APP 128
#define IDC_CROSSHAIR 208
