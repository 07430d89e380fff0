#pragma once
// Which face the standard font of small information texts takes: "微软雅黑" where the
// system has it, else "Tahoma", else "宋体".
#include <functional>
#include <string>
#include <string_view>

namespace kestrow {

// Faces by preference; the flags record which ones the system has.
enum ThemeFaceFlag : unsigned {
    kFaceYaHei = 0x001,   // "微软雅黑"
    kFaceTahoma = 0x010,  // "Tahoma"
    kFaceSimSun = 0x100,  // "宋体"
};

// The face for a set of found faces; empty for none.
std::wstring ThemeFaceFor(unsigned foundFaces);

// A system's font families: hands each full name to `visit` until it returns false.
using FontFamilyList = std::function<void(const std::function<bool(std::wstring_view fullName)>& visit)>;

// Which of the three faces a system has, by exact full name. Systems older than major
// version 6 are taken to have "宋体" only and their list is not read; otherwise the list
// is read until all three have been found.
unsigned FindThemeFaces(unsigned majorVersion, const FontFamilyList& families);

}  // namespace kestrow
