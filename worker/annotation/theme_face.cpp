#include "worker/annotation/theme_face.h"

namespace kestrow {

unsigned ThemeFaceFlag(const std::wstring& name) {
    if (name == L"微软雅黑") return kFaceYaHei;
    if (name == L"Tahoma") return kFaceTahoma;
    if (name == L"宋体") return kFaceSongTi;
    return 0;
}

std::wstring ChooseThemeFace(unsigned flags) {
    std::wstring face;
    if (flags & kFaceSongTi) face = L"宋体";
    if (flags & kFaceTahoma) face = L"Tahoma";
    if (flags & kFaceYaHei) face = L"微软雅黑";
    return face;
}

}  // namespace kestrow
