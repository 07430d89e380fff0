#include "common/theme_manager.h"

namespace kestrow {

std::wstring ThemeFaceFor(unsigned found) {
    std::wstring face;
    if (found & kFaceSimSun) face = L"宋体";
    if (found & kFaceTahoma) face = L"Tahoma";
    if (found & kFaceYaHei) face = L"微软雅黑";
    return face;
}

namespace {

int CALLBACK CollectFaceEx(const ENUMLOGFONTW* font, const NEWTEXTMETRICW*, DWORD, LPARAM lp) {
    auto* found = reinterpret_cast<unsigned*>(lp);
    const std::wstring full = font->elfFullName;
    if (full == L"微软雅黑") *found |= kFaceYaHei;
    if (full == L"Tahoma") *found |= kFaceTahoma;
    if (full == L"宋体") *found |= kFaceSimSun;
    return (*found & 0x111) == 0x111 ? 0 : 1;  // stop once all three are known
}

DWORD MajorVersion() {
    OSVERSIONINFOW info{sizeof(info)};
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ::GetVersionExW(&info);
#pragma GCC diagnostic pop
    return info.dwMajorVersion;
}

}  // namespace

unsigned CThemeManager::FindFaces(DWORD majorVersion) {
    if (majorVersion <= 5) return kFaceSimSun;
    unsigned found = 0;
    win::WindowDC screen(nullptr);
    ::EnumFontFamiliesW(screen.Get(), nullptr, reinterpret_cast<FONTENUMPROCW>(CollectFaceEx),
                        reinterpret_cast<LPARAM>(&found));
    return found;
}

CThemeManager::CThemeManager() : found_(FindFaces(MajorVersion())), face_(ThemeFaceFor(found_)) {
    struct FontShape {
        int height;
        int weight;
    } const shapes[4] = {{-12, FW_NORMAL}, {-12, FW_NORMAL}, {-14, FW_BOLD}, {-12, FW_NORMAL}};
    for (size_t i = 0; i < fonts_.size(); ++i)
        fonts_[i].Reset(::CreateFontW(shapes[i].height, 0, 0, 0, shapes[i].weight, 0, 0, 0,
                                      GB2312_CHARSET, 0, 0, 0, FF_SWISS, face_.c_str()));
}

CThemeManager& CThemeManager::Instance() {
    static CThemeManager instance;
    return instance;
}

HFONT CThemeManager::Font(int index) const {
    return (index >= 0 && index < int(fonts_.size())) ? fonts_[size_t(index)].Get() : nullptr;
}

}  // namespace kestrow
