#pragma once
// GDI+ image encoders by MIME type ("image/png", "image/bmp", "image/jpeg").
#include <windows.h>

#include <gdiplus.h>

#include <cwchar>
#include <vector>

namespace kestrow::win {

inline bool FindImageEncoder(const wchar_t* mime, CLSID& clsid) {
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return false;
    std::vector<BYTE> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, encoders) != Gdiplus::Ok) return false;
    for (UINT i = 0; i < count; ++i) {
        if (std::wcscmp(encoders[i].MimeType, mime) == 0) {
            clsid = encoders[i].Clsid;
            return true;
        }
    }
    return false;
}

}  // namespace kestrow::win
