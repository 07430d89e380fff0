#include "common/theme_manager.h"

#include <functional>
#include <string_view>

#include "common/dpi.h"

namespace kestrow {

namespace {

using FamilyVisitor = std::function<bool(std::wstring_view)>;

int CALLBACK VisitFamily(const ENUMLOGFONTW* font, const NEWTEXTMETRICW*, DWORD, LPARAM lp) {
    return (*reinterpret_cast<const FamilyVisitor*>(lp))(font->elfFullName) ? 1 : 0;
}

// The font families of the screen, by full name.
void ScreenFontFamilies(const FamilyVisitor& visit) {
    win::WindowDC screen(nullptr);
    ::EnumFontFamiliesW(screen.Get(), nullptr, reinterpret_cast<FONTENUMPROCW>(VisitFamily),
                        reinterpret_cast<LPARAM>(&visit));
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

CThemeManager::CThemeManager()
    : found_(FindThemeFaces(MajorVersion(), ScreenFontFamilies)), face_(ThemeFaceFor(found_)) {
    struct FontShape {
        int height;
        int weight;
    } const shapes[4] = {{-12, FW_NORMAL}, {-12, FW_NORMAL}, {-14, FW_BOLD}, {-12, FW_NORMAL}};
    for (size_t i = 0; i < fonts_.size(); ++i)
        fonts_[i].Reset(::CreateFontW(shapes[i].height, 0, 0, 0, shapes[i].weight, 0, 0, 0, GB2312_CHARSET, 0,
                                      0, 0, FF_SWISS, face_.c_str()));
}

CThemeManager& CThemeManager::Instance() {
    static CThemeManager instance;
    return instance;
}

HFONT CThemeManager::StandardFont(int dpi) const {
    if (dpi <= 0 || dpi == kBaseDpi) return StandardFont();
    win::Font& font = scaled_[dpi];
    if (!font)
        font.Reset(::CreateFontW(-Scale(12, dpi), 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 0, 0, 0,
                                 FF_SWISS, face_.c_str()));
    return font ? font.Get() : StandardFont();
}

HFONT CThemeManager::Font(int index) const {
    return (index >= 0 && index < int(fonts_.size())) ? fonts_[size_t(index)].Get() : nullptr;
}

}  // namespace kestrow
