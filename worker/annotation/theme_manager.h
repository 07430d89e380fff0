#pragma once
// CThemeManager: the worker's standard font and its siblings, made once per process
// from the best face the system offers.
#include <windows.h>

#include <string>

#include "common/win/gdi.h"

namespace kestrow {

class CThemeManager {
public:
    static CThemeManager& Instance();

    HFONT StandardFont() const { return fonts_[0].Get(); }
    HFONT Font(int index) const { return index >= 0 && index < 4 ? fonts_[index].Get() : nullptr; }
    const std::wstring& face() const { return face_; }
    unsigned foundFaces() const { return found_; }

private:
    CThemeManager();
    std::wstring face_;
    unsigned found_ = 0;
    win::Font fonts_[4];
};

}  // namespace kestrow
