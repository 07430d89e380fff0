#include "worker/colorpicker/color_picker_layout.h"

namespace kestrow {

Point PickerBoxOrigin(Point cursor, int screenWidth, int screenHeight) {
    const Rect zone{0, 0, kPickerBoxWidth, kPickerBoxHeight};
    if (zone.Contains(cursor)) return {screenWidth - kPickerBoxWidth, screenHeight - kPickerBoxHeight};
    return {0, 0};
}

std::wstring ColorPanelText(int red, int green, int blue) {
    return L"RGB: " + std::to_wstring(red) + L", " + std::to_wstring(green) + L", " + std::to_wstring(blue);
}

std::wstring ColorClipboardText(int red, int green, int blue) {
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring text = ColorPanelText(red, green, blue) + L"\r\nHex: #";
    for (int c : {red, green, blue}) {
        text += kDigits[(c >> 4) & 15];
        text += kDigits[c & 15];
    }
    return text;
}

}  // namespace kestrow
