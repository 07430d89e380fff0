// The colour picker's copy: it counts only when the clipboard really holds the text.
#include <gtest/gtest.h>

#include "common/win/handles.h"
#include "worker/colorpicker/color_capture_wnd.h"

namespace kestrow {
namespace {

std::wstring ClipboardText() {
    win::ClipboardSession clip(nullptr);
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    if (!data) return L"<none>";
    std::wstring text = static_cast<const wchar_t*>(::GlobalLock(data));
    ::GlobalUnlock(data);
    return text;
}

HGLOBAL WINAPI NoMemory(UINT, SIZE_T) { return nullptr; }

TEST(ColorClipboard, TextIsPlacedWithoutATrailingBreak) {
    ASSERT_TRUE(PutTextOnClipboard(nullptr, L"RGB: 10, 255, 0\r\nHex: #0AFF00"));
    EXPECT_EQ(ClipboardText(), L"RGB: 10, 255, 0\r\nHex: #0AFF00");
}

TEST(ColorClipboard, AFailedAllocationIsNotACopy) {
    ASSERT_TRUE(PutTextOnClipboard(nullptr, L"old"));
    EXPECT_FALSE(PutTextOnClipboard(nullptr, L"RGB: 0, 0, 0\r\nHex: #000000", NoMemory));
    EXPECT_EQ(ClipboardText(), L"<none>") << "the clipboard was emptied, nothing put on it";
}

}  // namespace
}  // namespace kestrow
