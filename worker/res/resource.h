#pragma once
// Resource ids of Worker.exe.
#define IDI_APP 128
#define IDC_CROSSHAIR 208
#define IDC_PICKER 209
