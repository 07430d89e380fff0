#pragma once
// The standard font for small information texts (the magnifier's readout, the colour
// picker's panel), with the face chosen once per process by what the system offers.
#include <windows.h>

#include <array>
#include <string>

#include "common/theme_faces.h"
#include "common/win/gdi.h"

namespace kestrow {

class CThemeManager {
public:
    static CThemeManager& Instance();

    HFONT StandardFont() const { return fonts_[0].Get(); }
    HFONT Font(int index) const;
    const std::wstring& FaceName() const { return face_; }
    unsigned FoundFaces() const { return found_; }

private:
    CThemeManager();

    unsigned found_ = 0;
    std::wstring face_;
    std::array<win::Font, 4> fonts_;
};

}  // namespace kestrow
