#pragma once
// Which face the worker's information texts use, from what the system offers.
#include <string>

namespace kestrow {

enum ThemeFaceFlags : unsigned { kFaceYaHei = 0x001, kFaceTahoma = 0x010, kFaceSongTi = 0x100 };
inline constexpr unsigned kAllThemeFaces = kFaceYaHei | kFaceTahoma | kFaceSongTi;

// The flag of a font family's full name, or 0 (exact, case-sensitive comparison).
unsigned ThemeFaceFlag(const std::wstring& fullName);
// "微软雅黑" before "Tahoma" before "宋体"; empty when none was found.
std::wstring ChooseThemeFace(unsigned foundFlags);
// Systems up to major version 5 are not asked: they get "宋体".
inline bool EnumeratesFaces(unsigned majorVersion) { return majorVersion > 5; }

}  // namespace kestrow
