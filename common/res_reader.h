#pragma once
// PNG images from a program's own resources (type "PNG"), decoded by GDI+.
#include <windows.h>
#include <gdiplus.h>

#include <memory>

namespace kestrow {

// The bytes of one resource of a module, valid as long as the module is loaded.
class CResReader {
public:
    CResReader(HMODULE module, UINT id, const wchar_t* type);
    const void* data() const { return data_; }
    DWORD size() const { return size_; }
    // A resource of size 0 counts as missing.
    bool ok() const { return data_ && size_ > 0; }

private:
    const void* data_ = nullptr;
    DWORD size_ = 0;
};

// The decoded image, or null when the resource is missing or does not decode.
std::unique_ptr<Gdiplus::Bitmap> LoadPngResource(HMODULE module, UINT id);

}  // namespace kestrow
