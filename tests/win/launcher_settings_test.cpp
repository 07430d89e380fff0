// AppConfig against real INI files and the autorun value against the prefix's registry.
#include <gtest/gtest.h>

#include <string>

#include "launcher/app_config.h"
#include "launcher/app_paths.h"
#include "tests/win/test_support.h"

namespace kestrow {
namespace {

void WriteText(const std::wstring& path, const char* text) {
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DWORD n = 0;
    ::WriteFile(f, text, DWORD(strlen(text)), &n, nullptr);
    ::CloseHandle(f);
}

std::wstring ReadValue(const std::wstring& file, const wchar_t* key) {
    wchar_t buf[64] = {};
    ::GetPrivateProfileStringW(L"config", key, L"<none>", buf, 64, file.c_str());
    return buf;
}

TEST(AppConfigFile, MissingFileGivesEveryDefault) {
    test::TempDir dir;
    AppConfig config(dir.File(L"appconfig.ini"));
    EXPECT_TRUE(config.showballon());
    EXPECT_FALSE(config.auto_open_screencapture());
    EXPECT_TRUE(config.showstartupscreen());
    EXPECT_EQ(config.GetHotkey(1568), (Hotkey{'J', kHotkeyControl | kHotkeyAlt}));
    EXPECT_EQ(config.GetHotkey(1569), (Hotkey{VK_F2, 0}));
    EXPECT_EQ(config.GetHotkey(1570), (Hotkey{VK_F4, 0}));
    EXPECT_EQ(config.GetHotkey(1571), (Hotkey{'S', kHotkeyControl | kHotkeyAlt}));
    EXPECT_FALSE(config.GetHotkey(1572).IsSet());
}

TEST(AppConfigFile, StoredValuesWinAndMissingKeysDefault) {
    test::TempDir dir;
    const std::wstring file = dir.File(L"appconfig.ini");
    WriteText(file,
              "[other]\r\nshowballon=0\r\n"
              "[config]\r\nauto_open_screencapture=1\r\nshowstartupscreen=0\r\n"
              "hk_screencapture=0\r\nhk_colorcapture=393298\r\nhk_screencapture_file=garbage\r\n"
              "hk_screencapture_clipboard=  116  \r\n");
    AppConfig config(file);
    EXPECT_TRUE(config.showballon());  // only the "config" section counts
    EXPECT_TRUE(config.auto_open_screencapture());
    EXPECT_FALSE(config.showstartupscreen());
    EXPECT_FALSE(config.GetHotkey(1568).IsSet());  // "0": no hotkey
    EXPECT_EQ(config.GetHotkey(1571), (Hotkey{'R', kHotkeyControl | kHotkeyAlt}));
    EXPECT_FALSE(config.GetHotkey(1569).IsSet());  // not a number: read as 0
    EXPECT_EQ(config.GetHotkey(1570), (Hotkey{VK_F5, 0}));
}

TEST(AppConfigFile, AnyNonZeroFlagIsOn) {
    test::TempDir dir;
    const std::wstring file = dir.File(L"appconfig.ini");
    WriteText(file, "[config]\r\nshowballon=7\r\nauto_open_screencapture=-1\r\nshowstartupscreen=x\r\n");
    AppConfig config(file);
    EXPECT_TRUE(config.showballon());
    EXPECT_TRUE(config.auto_open_screencapture());
    EXPECT_FALSE(config.showstartupscreen());
}

TEST(AppConfigFile, WritesDecimalTextReadAtOnce) {
    test::TempDir dir;
    const std::wstring file = dir.File(L"appconfig.ini");
    AppConfig writer(file);
    AppConfig reader(file);  // nothing is cached: a second object sees every write
    writer.set_showballon(false);
    writer.set_auto_open_screencapture(true);
    writer.set_showstartupscreen(false);
    writer.SetHotkey(1568, {'K', kHotkeyControl | kHotkeyShift});
    writer.SetHotkey(1570, {});
    EXPECT_EQ(ReadValue(file, L"showballon"), L"0");
    EXPECT_EQ(ReadValue(file, L"auto_open_screencapture"), L"1");
    EXPECT_EQ(ReadValue(file, L"hk_screencapture"), std::to_wstring((3 << 16) + 'K'));
    EXPECT_EQ(ReadValue(file, L"hk_screencapture_clipboard"), L"0");
    EXPECT_FALSE(reader.showballon());
    EXPECT_TRUE(reader.auto_open_screencapture());
    EXPECT_FALSE(reader.showstartupscreen());
    EXPECT_EQ(reader.GetHotkey(1568), (Hotkey{'K', kHotkeyControl | kHotkeyShift}));
    EXPECT_FALSE(reader.GetHotkey(1570).IsSet());
    writer.set_showballon(true);
    EXPECT_TRUE(reader.showballon());
}

TEST(AppConfigFile, UnwritableFileKeepsDefaults) {
    test::TempDir dir;
    AppConfig config(dir.File(L"no such folder\\appconfig.ini"));
    EXPECT_FALSE(config.set_showballon(false));  // and says so
    EXPECT_TRUE(config.showballon());
}

TEST(AppPathsLayout, SiblingsBesideTheExecutableSettingsInTheDataFolder) {
    AppPaths paths(L"C:\\Program Files\\Kestrow\\KestrowCapture.exe",
                   L"C:\\users\\me\\AppData\\Kestrow\\KestrowCapture\\");
    EXPECT_EQ(paths.OwnFolder(), L"C:\\Program Files\\Kestrow");
    EXPECT_EQ(paths.WorkerExePath(), L"C:\\Program Files\\Kestrow\\Worker.exe");
    EXPECT_EQ(paths.WebCaptureExePath(), L"C:\\Program Files\\Kestrow\\pagegrab.exe");
    EXPECT_EQ(paths.SettingsFile(), L"C:\\users\\me\\AppData\\Kestrow\\KestrowCapture\\appconfig.ini");

    const AppPaths& real = AppPaths::Get();
    const std::wstring suffix = L"\\Kestrow\\KestrowCapture\\";
    ASSERT_GT(real.DataFolder().size(), suffix.size());
    EXPECT_EQ(real.DataFolder().substr(real.DataFolder().size() - suffix.size()), suffix);
    const DWORD attrs = ::GetFileAttributesW(real.DataFolder().c_str());
    EXPECT_NE(attrs, INVALID_FILE_ATTRIBUTES);  // created on first use
    EXPECT_TRUE(attrs & FILE_ATTRIBUTE_DIRECTORY);
}

// Keeps whatever Run value the prefix had and puts it back afterwards.
class Autorun : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t buf[1024];
        DWORD bytes = sizeof(buf);
        had_ = ::RegGetValueW(HKEY_CURRENT_USER, kRunKeyPath, kRunValueName, RRF_RT_REG_SZ, nullptr, buf,
                              &bytes) == ERROR_SUCCESS;
        if (had_) saved_ = buf;
        HKEY key;
        ::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                          nullptr);
        ::RegDeleteValueW(key, kRunValueName);
        ::RegCloseKey(key);
        exe_ = dir_.File(L"Kestrow Capture.exe");
        WriteText(exe_, "MZ");
    }
    void TearDown() override {
        if (had_)
            Put(saved_);
        else
            SetAutorun(exe_, false);
    }
    static void Put(const std::wstring& value) {
        ::RegSetKeyValueW(HKEY_CURRENT_USER, kRunKeyPath, kRunValueName, REG_SZ, value.c_str(),
                          DWORD((value.size() + 1) * 2));
    }
    static std::wstring Stored(bool* present = nullptr) {
        wchar_t buf[1024] = {};
        DWORD bytes = sizeof(buf);
        const bool ok = ::RegGetValueW(HKEY_CURRENT_USER, kRunKeyPath, kRunValueName, RRF_RT_REG_SZ, nullptr,
                                       buf, &bytes) == ERROR_SUCCESS;
        if (present) *present = ok;
        return buf;
    }

    test::TempDir dir_;
    std::wstring exe_;
    bool had_ = false;
    std::wstring saved_;
};

TEST_F(Autorun, OnWritesTheQuotedPathAndReadsBack) {
    EXPECT_FALSE(GetAutorun(exe_));
    SetAutorun(exe_, true);
    EXPECT_EQ(Stored(), L"\"" + exe_ + L"\"");
    EXPECT_TRUE(GetAutorun(exe_));
    SetAutorun(exe_, false);
    bool present = true;
    Stored(&present);
    EXPECT_FALSE(present);
    EXPECT_FALSE(GetAutorun(exe_));
    SetAutorun(exe_, false);  // nothing to delete: nothing happens
    Stored(&present);
    EXPECT_FALSE(present);
}

TEST_F(Autorun, AnOwnPathOfTheLongestLengthReadsBack) {
    std::wstring longest = dir_.File(L"");
    longest += std::wstring(MAX_PATH - 1 - longest.size() - 4, L'k') + L".exe";
    ASSERT_EQ(longest.size(), size_t(MAX_PATH - 1));
    WriteText(longest, "MZ");
    SetAutorun(longest, true);
    EXPECT_TRUE(GetAutorun(longest));
}

TEST_F(Autorun, OtherSpellingsOfTheOwnPathReadAsOn) {
    std::wstring slashes = exe_;
    for (auto& c : slashes)
        if (c == L'\\') c = L'/';
    std::wstring doubled;
    for (wchar_t c : exe_) {
        doubled += c;
        if (c == L'\\') doubled += c;
    }
    std::wstring upper = exe_;
    for (auto& c : upper) c = ::towupper(c);
    for (const std::wstring& v : {exe_, slashes, doubled, upper, L"\"" + upper + L"\""}) {
        Put(v);
        EXPECT_TRUE(GetAutorun(exe_)) << testing::PrintToString(v);
    }
}

TEST_F(Autorun, AnotherCopyOrAMissingFileReadsAsOff) {
    const std::wstring other = dir_.File(L"copy.exe");
    WriteText(other, "MZ");
    Put(other);
    EXPECT_FALSE(GetAutorun(exe_));
    const std::wstring gone = dir_.File(L"gone.exe");
    Put(gone);
    EXPECT_FALSE(GetAutorun(gone));  // names the path asked about, but no file is there
    Put(L"");
    EXPECT_FALSE(GetAutorun(exe_));
    SetAutorun(exe_, true);  // on overwrites the stale value
    EXPECT_TRUE(GetAutorun(exe_));
}

}  // namespace
}  // namespace kestrow
