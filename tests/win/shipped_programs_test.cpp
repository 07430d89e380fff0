// What every shipped program tells the system about itself: a manifest that the
// loader accepts (common controls 6, the caller's privilege level) and the version
// from common/version.h.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/version.h"
#include "tests/win/test_support.h"

namespace {

struct Program {
    std::wstring path;
    unsigned build;
    std::wstring text;
};

// pagegrab.exe is checked once it is built.
std::vector<Program> ShippedPrograms() {
    using kestrow::test::BuiltProgram;
    std::vector<Program> list = {
        {BuiltProgram(L"KestrowCapture.exe"), KESTROW_VERSION_BUILD, L"" KESTROW_VERSION_TEXT},
        {BuiltProgram(L"Worker.exe"), KESTROW_VERSION_BUILD, L"" KESTROW_VERSION_TEXT},
    };
    const std::wstring pagegrab = BuiltProgram(L"pagegrab.exe");
    if (::GetFileAttributesW(pagegrab.c_str()) != INVALID_FILE_ATTRIBUTES)
        list.push_back({pagegrab, KESTROW_PAGEGRAB_BUILD, L"" KESTROW_PAGEGRAB_VERSION_TEXT});
    return list;
}

TEST(ShippedPrograms, ManifestBringsCommonControls6AsInvoker) {
    for (const Program& p : ShippedPrograms()) {
        SCOPED_TRACE(testing::Message() << std::string(p.path.begin(), p.path.end()));
        HMODULE m = ::LoadLibraryExW(p.path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
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
        ctx.lpSource = p.path.c_str();
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
        ::DeactivateActCtx(0, cookie);
        ::ReleaseActCtx(actCtx);
    }
}

TEST(ShippedPrograms, VersionComesFromTheOneSource) {
    for (const Program& p : ShippedPrograms()) {
        SCOPED_TRACE(testing::Message() << std::string(p.path.begin(), p.path.end()));
        DWORD handle = 0;
        std::vector<BYTE> data(::GetFileVersionInfoSizeW(p.path.c_str(), &handle));
        ASSERT_FALSE(data.empty());
        ASSERT_TRUE(::GetFileVersionInfoW(p.path.c_str(), 0, DWORD(data.size()), data.data()));
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT len = 0;
        ASSERT_TRUE(::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &len));
        const DWORD ms = (KESTROW_VERSION_MAJOR << 16) | KESTROW_VERSION_MINOR;
        const DWORD ls = (KESTROW_VERSION_PATCH << 16) | p.build;
        EXPECT_EQ(fixed->dwFileVersionMS, ms);
        EXPECT_EQ(fixed->dwFileVersionLS, ls);
        EXPECT_EQ(fixed->dwProductVersionMS, ms);
        EXPECT_EQ(fixed->dwProductVersionLS, ls);
        for (const wchar_t* key : {L"FileVersion", L"ProductVersion"}) {
            wchar_t* text = nullptr;
            const std::wstring query = std::wstring(L"\\StringFileInfo\\000404b0\\") + key;
            ASSERT_TRUE(::VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&text), &len));
            EXPECT_EQ(std::wstring(text), p.text) << "key " << char(key[0]);
        }
    }
}

}  // namespace
