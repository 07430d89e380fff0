#pragma once
// The standard font for small information texts (the magnifier's readout, the colour
// picker's panel), with the face chosen once per process by what the system offers.
#include <windows.h>

#include <array>
#include <map>
#include <string>

#include "common/theme_faces.h"
#include "common/win/gdi.h"

namespace kestrow {

class CThemeManager {
public:
    static CThemeManager& Instance();

    HFONT StandardFont() const { return fonts_[0].Get(); }
    // The standard font for a monitor of the given DPI (made once per DPI).
    HFONT StandardFont(int dpi) const;
    HFONT Font(int index) const;
    const std::wstring& FaceName() const { return face_; }
    unsigned FoundFaces() const { return found_; }

private:
    CThemeManager();

    unsigned found_ = 0;
    std::wstring face_;
    std::array<win::Font, 4> fonts_;
    mutable std::map<int, win::Font> scaled_;
};

}  // namespace kestrow
