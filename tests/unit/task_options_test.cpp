#include "worker/task_options.h"

#include "common/standby_handover.h"

#include <gtest/gtest.h>

namespace kestrow {
namespace {

struct Parsed {
    bool valid;
    TaskOptions options;
};

Parsed Parse(std::vector<std::wstring> args) {
    Parsed p;
    p.valid = ParseTaskArgs(args, p.options);
    return p;
}

TEST(TaskCommandLine, TheLaunchersFiveLinesSelectTheirTasks) {
    struct Case {
        std::vector<std::wstring> args;
        TaskType task;
        int track;
    } cases[] = {
        {{L"Worker.exe", L"-tasktype", L"screencapture"}, TaskType::ScreenCapture, 0},
        {{L"Worker.exe", L"-tasktype", L"screencapture", L"-trackwindow", L"true"},
         TaskType::ScreenCapture,
         1},
        {{L"Worker.exe", L"-tasktype", L"colorcapture"}, TaskType::ColorCapture, 0},
        {{L"Worker.exe", L"-tasktype", L"screenfullscreentofile"}, TaskType::FullScreenToFile, 0},
        {{L"Worker.exe", L"-tasktype", L"screenfullscreentoclipboard"}, TaskType::FullScreenToClipboard, 0},
    };
    for (const auto& c : cases) {
        Parsed p = Parse(c.args);
        EXPECT_TRUE(p.valid);
        EXPECT_EQ(p.options.taskType, c.task) << c.args[2];
        EXPECT_EQ(p.options.trackWindow, c.track) << c.args[2];
    }
}

TEST(TaskCommandLine, NoArgumentsAfterTheProgramIsInvalid) {
    EXPECT_FALSE(Parse({L"Worker.exe"}).valid);
    EXPECT_FALSE(Parse({}).valid);
}

TEST(TaskCommandLine, OneArgumentIsAValidRegionCaptureWithDefaults) {
    for (const wchar_t* only : {L"-tasktype", L"colorcapture", L"whatever", L""}) {
        Parsed p = Parse({L"Worker.exe", only});
        EXPECT_TRUE(p.valid) << only;
        EXPECT_EQ(p.options.taskType, TaskType::ScreenCapture);
        EXPECT_EQ(p.options.trackWindow, 0);
    }
}

TEST(TaskCommandLine, FirstNameMustBeTasktype) {
    EXPECT_FALSE(Parse({L"Worker.exe", L"-trackwindow", L"true", L"-tasktype", L"colorcapture"}).valid);
    EXPECT_FALSE(Parse({L"Worker.exe", L"tasktype", L"colorcapture"}).valid);
    EXPECT_FALSE(Parse({L"Worker.exe", L"colorcapture", L"-tasktype"}).valid);
}

TEST(TaskCommandLine, NamesAndWordsIgnoreCase) {
    Parsed p = Parse({L"Worker.exe", L"-TASKTYPE", L"COLORCAPTURE"});
    EXPECT_TRUE(p.valid);
    EXPECT_EQ(p.options.taskType, TaskType::ColorCapture);
    p = Parse({L"Worker.exe", L"-TaskType", L"ScreenFullScreenToFile", L"-TrackWindow", L"yes"});
    EXPECT_EQ(p.options.taskType, TaskType::FullScreenToFile);
    EXPECT_EQ(p.options.trackWindow, 1);
}

TEST(TaskCommandLine, UnknownTaskWordKeepsTheRegionCapture) {
    Parsed p = Parse({L"Worker.exe", L"-tasktype", L"screenshot"});
    EXPECT_TRUE(p.valid);
    EXPECT_EQ(p.options.taskType, TaskType::ScreenCapture);
    // ...and an unknown word later leaves an earlier choice standing.
    p = Parse({L"Worker.exe", L"-tasktype", L"colorcapture", L"-tasktype", L"nothing"});
    EXPECT_EQ(p.options.taskType, TaskType::ColorCapture);
}

TEST(TaskCommandLine, TrackwindowIsOffOnlyForFalseOrZero) {
    auto track = [](const wchar_t* value) {
        return Parse({L"Worker.exe", L"-tasktype", L"screencapture", L"-trackwindow", value})
            .options.trackWindow;
    };
    EXPECT_EQ(track(L"FALSE"), 0);
    EXPECT_EQ(track(L"false"), 0);
    EXPECT_EQ(track(L"FaLsE"), 0);
    EXPECT_EQ(track(L"0"), 0);
    EXPECT_EQ(track(L"true"), 1);
    EXPECT_EQ(track(L"1"), 1);
    EXPECT_EQ(track(L"FALSEX"), 1);
    EXPECT_EQ(track(L"00"), 1);
    EXPECT_EQ(track(L""), 1);
}

TEST(TaskCommandLine, LaterPairsOverrideEarlierOnes) {
    Parsed p = Parse({L"Worker.exe", L"-tasktype", L"colorcapture", L"-tasktype", L"screencapture"});
    EXPECT_EQ(p.options.taskType, TaskType::ScreenCapture);
    p = Parse({L"Worker.exe", L"-tasktype", L"screencapture", L"-trackwindow", L"1", L"-trackwindow", L"0"});
    EXPECT_EQ(p.options.trackWindow, 0);
}

TEST(TaskCommandLine, PairsUpToTheEighthArgumentApply) {
    // Pair 5/6 and 7/8 are read; a ninth argument and a partnerless last one are not.
    Parsed p = Parse({L"Worker.exe", L"-tasktype", L"screencapture", L"-x", L"y", L"-trackwindow", L"true",
                      L"-tasktype", L"colorcapture", L"-tasktype"});
    EXPECT_TRUE(p.valid);
    EXPECT_EQ(p.options.trackWindow, 1);
    EXPECT_EQ(p.options.taskType, TaskType::ColorCapture);

    p = Parse({L"Worker.exe", L"-tasktype", L"screencapture", L"a", L"b", L"c", L"d", L"e", L"f",
               L"-tasktype", L"colorcapture"});
    EXPECT_EQ(p.options.taskType, TaskType::ScreenCapture) << "the fifth pair is beyond the eighth argument";

    p = Parse({L"Worker.exe", L"-tasktype", L"screencapture", L"-trackwindow"});
    EXPECT_TRUE(p.valid);
    EXPECT_EQ(p.options.trackWindow, 0) << "a name without its value is ignored";
}

TEST(TaskCommandLine, UnknownNamesAreIgnored) {
    Parsed p = Parse({L"Worker.exe", L"-tasktype", L"colorcapture", L"-outputpath", L"C:\\x.bmp"});
    EXPECT_TRUE(p.valid);
    EXPECT_EQ(p.options.taskType, TaskType::ColorCapture);
}

TEST(StandbyCommandLine, NamesTwoNonZeroDecimalHandles) {
    const auto h = ParseStandbyArgs({L"Worker.exe", L"-STANDBY", L"124", L"4294967295"});
    ASSERT_TRUE(h);
    EXPECT_EQ(h->pipe, 124u);
    EXPECT_EQ(h->signal, uintptr_t(4294967295u));
    EXPECT_EQ(StandbyParameters({12, 34}), L"-standby 12 34");
    const std::vector<std::vector<std::wstring>> bad = {
        {L"Worker.exe", L"-standby", L"12"},        {L"Worker.exe", L"-standby", L"12", L"34", L"56"},
        {L"Worker.exe", L"-standby", L"0", L"34"},  {L"Worker.exe", L"-standby", L"12", L"0x22"},
        {L"Worker.exe", L"-standby", L"-1", L"34"}, {L"Worker.exe", L"-standby", L"4294967296", L"34"},
        {L"Worker.exe", L"-tasktype", L"12", L"34"}};
    for (size_t i = 0; i < bad.size(); ++i) EXPECT_FALSE(ParseStandbyArgs(bad[i])) << i;
    // Such a line read as a task line is invalid: typed by hand, it starts the launcher.
    EXPECT_FALSE(Parse({L"Worker.exe", L"-standby", L"12", L"34"}).valid);
}

TEST(StandbyHandover, CarriesTheParameterStringWhole) {
    const std::wstring text = L"-tasktype screencapture -trackwindow true \u622a\u5c4f";
    const std::string record = EncodeHandover(text);
    ASSERT_EQ(record.size(), kHandoverHeaderBytes + text.size() * 2);
    const auto length = HandoverLength(std::string_view(record).substr(0, kHandoverHeaderBytes));
    ASSERT_TRUE(length);
    EXPECT_EQ(*length, text.size());
    EXPECT_EQ(HandoverParameters(std::string_view(record).substr(kHandoverHeaderBytes)), text);

    std::string wrongMagic = record.substr(0, kHandoverHeaderBytes);
    wrongMagic[0] ^= 1;
    EXPECT_FALSE(HandoverLength(wrongMagic));
    const std::string tooLong = EncodeHandover(std::wstring(kHandoverMaxChars + 1, L'x'));
    EXPECT_EQ(HandoverLength(tooLong.substr(0, kHandoverHeaderBytes)), kHandoverMaxChars)
        << "cut, not refused";
    std::string forged = record.substr(0, kHandoverHeaderBytes);
    forged[6] = 1;  // a length of 65536 and more
    EXPECT_FALSE(HandoverLength(forged));
}

}  // namespace
}  // namespace kestrow
