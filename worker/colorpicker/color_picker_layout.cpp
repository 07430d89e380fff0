#include "worker/colorpicker/color_picker_layout.h"

#include "common/dpi.h"

namespace kestrow {

Point PickerBoxOrigin(Point cursor, const Rect& m, int dpi) {
    const int w = Scale(kPickerBoxWidth, dpi), h = Scale(kPickerBoxHeight, dpi);
    const Rect zone{m.left, m.top, m.left + w, m.top + h};
    if (zone.Contains(cursor)) return {m.right - w, m.bottom - h};
    return {m.left, m.top};
}

Point PickerBoxOrigin(Point cursor, int screenWidth, int screenHeight) {
    return PickerBoxOrigin(cursor, Rect{0, 0, screenWidth, screenHeight});
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
