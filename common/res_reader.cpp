#include "common/res_reader.h"

#include <cstring>

#include "common/win/com.h"

namespace kestrow {

CResReader::CResReader(HMODULE module, UINT id, const wchar_t* type) {
    HRSRC res = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!res) return;
    size_ = ::SizeofResource(module, res);
    HGLOBAL loaded = ::LoadResource(module, res);
    data_ = loaded ? ::LockResource(loaded) : nullptr;
}

std::unique_ptr<Gdiplus::Bitmap> LoadPngResource(HMODULE module, UINT id) {
    CResReader res(module, id, L"PNG");
    if (!res.ok()) return nullptr;
    // GDI+ reads the stream lazily, so the bytes go into a block the stream owns.
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, res.size());
    if (!block) return nullptr;
    if (void* p = ::GlobalLock(block)) {
        std::memcpy(p, res.data(), res.size());
        ::GlobalUnlock(block);
    } else {
        ::GlobalFree(block);
        return nullptr;
    }
    win::ComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(block, TRUE, stream.Put()))) {
        ::GlobalFree(block);
        return nullptr;
    }
    auto bitmap = std::make_unique<Gdiplus::Bitmap>(stream.Get());
    if (bitmap->GetLastStatus() != Gdiplus::Ok) return nullptr;
    // Decode now, while the stream is alive, so the image stands on its own.
    auto copy = std::unique_ptr<Gdiplus::Bitmap>(
        bitmap->Clone(0, 0, bitmap->GetWidth(), bitmap->GetHeight(), PixelFormat32bppARGB));
    if (!copy || copy->GetLastStatus() != Gdiplus::Ok) return nullptr;
    return copy;
}

}  // namespace kestrow
