#include "common/file_names.h"

#include <gtest/gtest.h>

namespace kestrow {
namespace {

TEST(DeviceName, ReservedNamesWhateverTheirExtensionCaseOrFolder) {
    for (const wchar_t* path :
         {L"NUL.png", L"nul", L"CON", L"C:\\shots\\con.bmp", L"Z:\\a\\Aux.tar.gz", L"prn", L"COM1.jpg",
          L"lpt9", L"C:nul.png", L"D:/shots/NUL.png", L"CONIN$", L"conout$"})
        EXPECT_TRUE(IsDeviceName(path)) << testing::PrintToString(std::wstring(path));
}

TEST(DeviceName, TrailingSpacesAndColonsStillNameTheDevice) {
    EXPECT_TRUE(IsDeviceName(L"C:\\shots\\NUL .png"));
    EXPECT_TRUE(IsDeviceName(L"con:"));
    EXPECT_TRUE(IsDeviceName(L"C:\\shots\\COM\u00B9.png"));
}

TEST(DeviceName, TheDeviceNamespaceExceptDrivesAndShares) {
    EXPECT_TRUE(IsDeviceName(L"\\\\.\\NUL"));
    EXPECT_TRUE(IsDeviceName(L"\\\\.\\PhysicalDrive0"));
    EXPECT_TRUE(IsDeviceName(L"\\\\?\\GLOBALROOT\\Device\\Null"));
    EXPECT_TRUE(IsDeviceName(L"\\\\.\\C:"));
    EXPECT_FALSE(IsDeviceName(L"\\\\?\\C:\\shots\\a.png"));
    EXPECT_FALSE(IsDeviceName(L"\\\\?\\UNC\\server\\share\\a.png"));
    EXPECT_FALSE(IsDeviceName(L"\\\\server\\share\\a.png"));
}

TEST(DeviceName, OrdinaryFilesAreNotDevices) {
    for (const wchar_t* path : {L"C:\\shots\\a.png", L"nul2.png", L"null.png", L"console.bmp", L"COM10.png",
                                L"COM0", L"LPT.png", L"C:\\nul\\a.png", L"C:\\con\\shot", L"aux_1.png",
                                L"xnul.png", L"", L"C:\\", L"\\\\.\\C:\\shots\\a.png"})
        EXPECT_FALSE(IsDeviceName(path)) << testing::PrintToString(std::wstring(path));
}

}  // namespace
}  // namespace kestrow
