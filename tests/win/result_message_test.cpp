#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/result_message.h"
#include "common/win/handles.h"
#include "common/win/window.h"
#include "worker/result_sender.h"

namespace kestrow {
namespace {

struct Record {
    WPARAM wparam;
    ULONG_PTR code;
    DWORD size;
    std::vector<unsigned char> bytes;
};

// The launcher's result window, on a thread of its own so that the send really
// crosses to another thread's message queue, as it crosses processes in use.
class ReceiverWindow : public win::Window {
public:
    std::vector<Record> records;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_COPYDATA) {
            const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lp);
            const auto* p = static_cast<const unsigned char*>(cds->lpData);
            records.push_back({wp, cds->dwData, cds->cbData, {p, p + cds->cbData}});
            return TRUE;
        }
        if (msg == WM_CLOSE) {
            ::PostQuitMessage(0);
            return 0;
        }
        return DefaultMessage(msg, wp, lp);
    }
};

class ReceiverThread {
public:
    explicit ReceiverThread(const wchar_t* title = kResultWindowTitle) : title_(title) {
        ready_.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        thread_.Reset(::CreateThread(nullptr, 0, &ReceiverThread::Main, this, 0, nullptr));
        ::WaitForSingleObject(ready_.Get(), 5000);
    }
    ~ReceiverThread() {
        ::PostMessageW(hwnd_, WM_CLOSE, 0, 0);
        ::WaitForSingleObject(thread_.Get(), 5000);
    }
    const std::vector<Record>& records() const { return window_.records; }

private:
    static DWORD WINAPI Main(void* self) {
        auto* t = static_cast<ReceiverThread*>(self);
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpfnWndProc = win::Window::WindowProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = kResultWindowClass;
        win::RegisterWindowClass(wc);
        t->hwnd_ = t->window_.Create(kResultWindowClass, t->title_, WS_POPUP, 0, 0, 0, 0, 0);
        ::SetEvent(t->ready_.Get());
        win::RunMessageLoop();
        t->window_.Destroy();
        return 0;
    }
    const wchar_t* title_;
    ReceiverWindow window_;
    HWND hwnd_ = nullptr;
    win::UniqueHandle ready_;
    win::UniqueHandle thread_;
};

std::vector<unsigned char> Utf16Bytes(const std::wstring& s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    return {p, p + s.size() * 2};
}

TEST(ResultMessage, PathArrivesAsUtf16WithoutTerminator) {
    ReceiverThread receiver;
    const std::wstring path = L"Z:\\tmp\\截图_2013-7-5_9点8分7秒.png";
    SendResultText(RESULT_REGION_SAVED, path);
    // The send is synchronous: the record is there as soon as the call returns.
    ASSERT_EQ(receiver.records().size(), 1u);
    const Record& r = receiver.records()[0];
    EXPECT_EQ(r.wparam, 0u);
    EXPECT_EQ(r.code, 1525u);
    EXPECT_EQ(r.size, path.size() * 2);
    EXPECT_EQ(r.bytes, Utf16Bytes(path));
}

TEST(ResultMessage, NumberIsFourBytes) {
    ReceiverThread receiver;
    SendResultInt(RESULT_REGION_COPIED, 0);
    SendResultInt(RESULT_COLOR_COPIED, 0);
    ASSERT_EQ(receiver.records().size(), 2u);
    EXPECT_EQ(receiver.records()[0].code, 1526u);
    EXPECT_EQ(receiver.records()[0].size, 4u);
    EXPECT_EQ(receiver.records()[0].bytes, (std::vector<unsigned char>{0, 0, 0, 0}));
    EXPECT_EQ(receiver.records()[1].code, 1527u);
    EXPECT_EQ(receiver.records()[1].size, 4u);
}

TEST(ResultMessage, OnlyTheWindowWithTheRightTitleReceives) {
    ReceiverThread impostor(L"KestrowStudio.ScreenCapture.Other");
    SendResultText(RESULT_FULLSCREEN_SAVED, L"C:\\a.png");
    EXPECT_TRUE(impostor.records().empty());
}

TEST(ResultMessage, NoLauncherIsNotAnError) {
    ASSERT_EQ(::FindWindowW(kResultWindowClass, kResultWindowTitle), nullptr);
    SendResultText(RESULT_FULLSCREEN_SAVED, L"C:\\a.png");
    SendResultInt(RESULT_REGION_COPIED, 0);
}

TEST(ResultMessage, CodesAndPayloadKinds) {
    EXPECT_EQ(RESULT_FULLSCREEN_SAVED, 0x5F4u);
    EXPECT_EQ(RESULT_COLOR_COPIED, 0x5F7u);
    EXPECT_TRUE(ResultCarriesPath(1524));
    EXPECT_TRUE(ResultCarriesPath(1525));
    EXPECT_FALSE(ResultCarriesPath(1526));
    EXPECT_FALSE(IsResultCode(1523));
    EXPECT_FALSE(IsResultCode(1528));
}

}  // namespace
}  // namespace kestrow
