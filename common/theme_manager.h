#pragma once
// The standard font for small information texts (the magnifier's readout, the colour
// picker's panel), with the face chosen once per process by what the system offers.
#include <windows.h>

#include <array>
#include <string>

#include "common/win/gdi.h"

namespace kestrow {

// Faces by preference; the flags record which ones the system has.
enum ThemeFaceFlag : unsigned {
    kFaceYaHei = 0x001,   // "微软雅黑"
    kFaceTahoma = 0x010,  // "Tahoma"
    kFaceSimSun = 0x100,  // "宋体"
};

// The face for a set of found faces: "微软雅黑", else "Tahoma", else "宋体"; empty for none.
std::wstring ThemeFaceFor(unsigned foundFaces);

class CThemeManager {
public:
    static CThemeManager& Instance();

    HFONT StandardFont() const { return fonts_[0].Get(); }
    HFONT Font(int index) const;
    const std::wstring& FaceName() const { return face_; }
    unsigned FoundFaces() const { return found_; }

    // Which of the three faces the system reports; only "宋体" is assumed, without
    // asking, on systems older than major version 6.
    static unsigned FindFaces(DWORD majorVersion);

private:
    CThemeManager();

    unsigned found_ = 0;
    std::wstring face_;
    std::array<win::Font, 4> fonts_;
};

}  // namespace kestrow
