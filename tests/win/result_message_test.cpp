#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/result_message.h"
#include "common/win/handles.h"
#include "common/win/window.h"
#include "tests/win/test_support.h"
#include "worker/result_sender.h"

namespace kestrow {
namespace {

using test::ReceiverThread;
using test::Record;

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
    EXPECT_TRUE(IsResultCode(1528));
    EXPECT_FALSE(ResultCarriesPath(1528));
    EXPECT_FALSE(IsResultCode(1529));
}

}  // namespace
}  // namespace kestrow
