#pragma once
// Ids of Worker.exe's private messages and commands, in one place. Resource ids live
// in worker/res/resource.h. No <windows.h>: the platform-free logic uses them too.

namespace kestrow {

// The colour pane tells its owner (the overlay) that the text font choice changed.
// It carries no data: the receiver reads the font from the pane.
inline constexpr unsigned WM_TEXT_FONT_CHANGED = 0x900;

// The overlay posts itself this after its first paint, to make what that frame did
// not need (the tool bar and its art, the text box, COM, GDI+).
inline constexpr unsigned WM_FINISH_START = 0x901;

// Commands the tool bar sends the overlay (and the tools the overlay accepts).
enum ToolCommandId : int {
    ID_TOOL_RECTANGLE = 0x500,
    ID_TOOL_ELLIPSE = 0x501,
    ID_TOOL_ARROW = 0x502,
    ID_TOOL_BRUSH = 0x503,
    ID_TOOL_HIGHLIGHTER = 0x504,
    ID_TOOL_TEXT = 0x505,
    ID_UNDO = 0x506,
    ID_REDO = 0x507,
    ID_PIN = 0x508,
    ID_CANCEL = 0x509,
    ID_FINISH = 0x50A,
    ID_COPY = 0x50B,
    ID_SAVEAS = 0x50C,
    ID_TOOL_MOSAIC = 0x50D,
    ID_TOOL_STEP = 0x50E,
};

// The pinned picture's right-click menu.
enum PinCommandId : int {
    ID_PIN_COPY = 0x530,
    ID_PIN_SAVEAS = 0x531,
    ID_PIN_ACTUAL_SIZE = 0x532,
    ID_PIN_TOPMOST = 0x533,
    ID_PIN_CLOSE = 0x534,
};

// The colour pane's pen-width buttons, thin to thick; their commands stay in the pane.
enum WidthCommandId : int {
    ID_WIDTH_THIN = 0x510,
    ID_WIDTH_MEDIUM = 0x511,
    ID_WIDTH_THICK = 0x512,
};

// The colour pane's sixteen swatches, 0x600 to 0x60F.
inline constexpr int ID_FIRST_SWATCH = 0x600;
inline constexpr int kSwatchCount = 16;

}  // namespace kestrow
