#include "common/theme_faces.h"

namespace kestrow {

std::wstring ThemeFaceFor(unsigned found) {
    std::wstring face;
    if (found & kFaceSimSun) face = L"宋体";
    if (found & kFaceTahoma) face = L"Tahoma";
    if (found & kFaceYaHei) face = L"微软雅黑";
    return face;
}

unsigned FindThemeFaces(unsigned majorVersion, const FontFamilyList& families) {
    if (majorVersion <= 5) return kFaceSimSun;
    constexpr unsigned kAll = kFaceYaHei | kFaceTahoma | kFaceSimSun;
    unsigned found = 0;
    families([&found](std::wstring_view full) {
        if (full == L"微软雅黑") found |= kFaceYaHei;
        if (full == L"Tahoma") found |= kFaceTahoma;
        if (full == L"宋体") found |= kFaceSimSun;
        return found != kAll;
    });
    return found;
}

}  // namespace kestrow
