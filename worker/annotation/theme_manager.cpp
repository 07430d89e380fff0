#include "worker/annotation/theme_manager.h"

#include "worker/annotation/theme_face.h"

namespace kestrow {

namespace {


int CALLBACK CollectFullName(const LOGFONTW* lf, const TEXTMETRICW*, DWORD, LPARAM lp) {
    auto* found = reinterpret_cast<unsigned*>(lp);
    const auto* elf = reinterpret_cast<const ENUMLOGFONTW*>(lf);
    // Wine lists a substituted face under its own family name but with the substitute's
    // full name, so the family name counts too.
    *found |= ThemeFaceFlag(elf->elfFullName) | ThemeFaceFlag(elf->elfLogFont.lfFaceName);
    return (*found & kAllThemeFaces) == kAllThemeFaces ? 0 : 1;
}

unsigned MajorVersion() {
    OSVERSIONINFOW info{sizeof(info)};
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!::GetVersionExW(&info)) return 0;
#pragma GCC diagnostic pop
    return info.dwMajorVersion;
}

}  // namespace

CThemeManager& CThemeManager::Instance() {
    static CThemeManager instance;
    return instance;
}

CThemeManager::CThemeManager() {
    if (EnumeratesFaces(MajorVersion())) {
        win::WindowDC screen(nullptr);
        ::EnumFontFamiliesW(screen.Get(), nullptr, CollectFullName, reinterpret_cast<LPARAM>(&found_));
    } else {
        found_ = kFaceSongTi;
    }
    face_ = ChooseThemeFace(found_);
    const struct {
        int height, weight;
    } specs[4] = {{-12, 400}, {-12, 400}, {-14, 700}, {-12, 400}};
    for (int i = 0; i < 4; ++i)
        fonts_[i].Reset(::CreateFontW(specs[i].height, 0, 0, 0, specs[i].weight, 0, 0, 0, GB2312_CHARSET, 0, 0, 0,
                                      FF_SWISS, face_.c_str()));
}

}  // namespace kestrow
