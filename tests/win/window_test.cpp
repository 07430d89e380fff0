// The window framework's own guarantees, apart from any window that uses it.
#include "common/win/window.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace kestrow {
namespace {

constexpr UINT kThrow = WM_APP + 1;

class Throwing : public win::Window {
protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == kThrow) throw std::runtime_error("handler failed");
        return DefaultMessage(msg, wp, lp);
    }
};

TEST(WindowProc, AnExceptionInAHandlerBecomesDefaultHandling) {
    ASSERT_TRUE(win::RegisterStandardClass(L"KESTROW_ThrowingTestWindow"));
    Throwing window;
    ASSERT_TRUE(window.Create(
        {.className = L"KESTROW_ThrowingTestWindow", .x = 0, .y = 0, .width = 10, .height = 10}));
    EXPECT_EQ(::SendMessageW(window.hwnd(), kThrow, 0, 0), 0);
    EXPECT_TRUE(::IsWindow(window.hwnd()));  // still bound and answering
    EXPECT_EQ(::SendMessageW(window.hwnd(), WM_GETTEXTLENGTH, 0, 0), 0);
}

}  // namespace
}  // namespace kestrow
