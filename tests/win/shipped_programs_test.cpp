// What every shipped program asks of the system: its manifest, as the loader reads
// it, brings common controls 6, runs it at the caller's privilege level and declares
// it aware of each monitor's DPI.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/win/test_support.h"

namespace {

// pagegrab.exe is checked once it is built.
std::vector<std::wstring> ShippedPrograms() {
    using kestrow::test::BuiltProgram;
    std::vector<std::wstring> list = {BuiltProgram(L"KestrowCapture.exe"), BuiltProgram(L"Worker.exe")};
    const std::wstring pagegrab = BuiltProgram(L"pagegrab.exe");
    if (::GetFileAttributesW(pagegrab.c_str()) != INVALID_FILE_ATTRIBUTES) list.push_back(pagegrab);
    return list;
}

TEST(ShippedPrograms, ManifestBringsCommonControls6AsInvokerAwareOfMonitorDpi) {
    for (const std::wstring& path : ShippedPrograms()) {
        SCOPED_TRACE(testing::Message() << std::string(path.begin(), path.end()));
        HMODULE m = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(m);
        HRSRC r = ::FindResourceW(m, MAKEINTRESOURCEW(1), RT_MANIFEST);
        ASSERT_TRUE(r);
        const std::string text(static_cast<const char*>(::LockResource(::LoadResource(m, r))),
                               ::SizeofResource(m, r));
        ::FreeLibrary(m);
        EXPECT_NE(text.find("level=\"asInvoker\""), std::string::npos);

        // The loader's own reading: the manifest activates, and comctl32 then comes
        // from the side-by-side version 6 assembly.
        ACTCTXW ctx{sizeof(ctx)};
        ctx.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        ctx.lpSource = path.c_str();
        ctx.lpResourceName = MAKEINTRESOURCEW(1);
        HANDLE actCtx = ::CreateActCtxW(&ctx);
        ASSERT_NE(actCtx, INVALID_HANDLE_VALUE);
        ULONG_PTR cookie = 0;
        ASSERT_TRUE(::ActivateActCtx(actCtx, &cookie));
        ACTCTX_SECTION_KEYED_DATA found{sizeof(found)};
        EXPECT_TRUE(::FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                               L"comctl32.dll", &found));
        ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION* detail = nullptr;
        std::vector<BYTE> buffer(4096);
        DWORD index = found.ulAssemblyRosterIndex;
        ASSERT_TRUE(::QueryActCtxW(0, actCtx, &index, AssemblyDetailedInformationInActivationContext,
                                   buffer.data(), buffer.size(), nullptr));
        detail = reinterpret_cast<ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(buffer.data());
        const std::wstring identity = detail->lpAssemblyEncodedAssemblyIdentity;
        EXPECT_NE(identity.find(L"Microsoft.Windows.Common-Controls"), std::wstring::npos);
        EXPECT_NE(identity.find(L"version=\"6."), std::wstring::npos)
            << std::string(identity.begin(), identity.end());

        // Per-monitor DPI awareness, v2 first, with the older forms to fall back on.
        wchar_t setting[64] = {};
        SIZE_T written = 0;
        EXPECT_TRUE(::QueryActCtxSettingsW(0, actCtx,
                                           L"http://schemas.microsoft.com/SMI/2016/WindowsSettings",
                                           L"dpiAwareness", setting, 64, &written));
        EXPECT_STREQ(setting, L"PerMonitorV2, PerMonitor");
        EXPECT_TRUE(::QueryActCtxSettingsW(0, actCtx,
                                           L"http://schemas.microsoft.com/SMI/2005/WindowsSettings",
                                           L"dpiAware", setting, 64, &written));
        EXPECT_STREQ(setting, L"true/pm");
        ::DeactivateActCtx(0, cookie);
        ::ReleaseActCtx(actCtx);
    }
}

}  // namespace
