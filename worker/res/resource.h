#pragma once
// Resource ids of Worker.exe.
#define IDI_APP 128
#define IDC_CROSSHAIR 208
#define IDB_TOOLBAR_FRAMES 204
#define IDB_TOOLBAR_ICONS 206
#define IDC_PICKER 209
#define IDD_COLOR_PANE 201
#define IDB_WIDTH_ICONS 203
#define IDC_FONT_SIZE 1001
#define IDC_FONT_FACE 1002
