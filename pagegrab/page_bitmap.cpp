#include "pagegrab/page_bitmap.h"

#include <algorithm>
#include <vector>

#include "common/png_writer.h"
#include "common/win/bitmap_rows.h"
#include "common/win/staged_file.h"

namespace kestrow::pagegrab {

namespace {

// BITMAPINFO with room for a 256-entry colour table.
struct DibInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
};

// The system palette realised in the screen DC while pixels are fetched, so that a
// palette display's colour table is the system's.
class ScreenPalette {
public:
    explicit ScreenPalette(HDC dc) : dc_(dc) {
        old_ = ::SelectPalette(dc_, static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE)), FALSE);
        ::RealizePalette(dc_);
    }
    ~ScreenPalette() {
        if (old_) {
            ::SelectPalette(dc_, old_, TRUE);
            ::RealizePalette(dc_);
        }
    }

private:
    HDC dc_;
    HPALETTE old_ = nullptr;
};

SaveResult WriteBmp(const std::wstring& path, int width, int height, const DrawBand& draw,
                    const SaveProgress& progress, uint64_t bandBudget) {
    const auto layout = LayoutBitmapFile(width, height, DisplayBitsPerPixel());
    if (!layout) return SaveResult::TooLarge;
    const int bandRows = BandRows(width, height, bandBudget);
    CUICachedDC cache;
    BitmapFileWriter writer;
    if (!writer.Open(path, *layout)) return SaveResult::WriteFailed;
    for (int top = 0; top < height; top += bandRows) {
        const int rows = std::min(bandRows, height - top);
        if (top == 0 || rows != bandRows) {
            if (!cache.Create(width, rows)) return SaveResult::TooLarge;
        }
        // What the page leaves unpainted is white, not the previous band.
        ::PatBlt(cache.GetMemoryDC(), 0, 0, width, rows, WHITENESS);
        if (!draw(cache.GetMemoryDC(), top, rows)) return SaveResult::NothingDrawn;
        if (!writer.WriteBand(cache.GetBitmap(), top, rows)) return SaveResult::WriteFailed;
        if (progress) progress(top + rows, height);
    }
    return writer.Commit() ? SaveResult::Saved : SaveResult::WriteFailed;
}

// Each band's rows go through the encoder as soon as they are drawn, so only one band
// and the encoder's window are held however long the page is.
SaveResult WritePng(const std::wstring& path, int width, int height, const DrawBand& draw,
                    const SaveProgress& progress, uint64_t bandBudget) {
    // The same bound as a 24-bit bitmap file, so that a page refused as too large in one
    // format is refused in the other too.
    const auto layout = LayoutBitmapFile(width, height, 24);
    if (!layout) return SaveResult::TooLarge;
    const int bandRows = BandRows(width, height, bandBudget);
    // The first band shows whether a row of this width can be held at all.
    CUICachedDC cache;
    if (!cache.Create(width, bandRows)) return SaveResult::TooLarge;

    TempFileBeside file;
    if (!file.Open(path)) return SaveResult::WriteFailed;
    png::PngWriter writer;
    if (!writer.Begin(
            uint32_t(width), uint32_t(height),
            [&file](const uint8_t* data, size_t size) { return file.Write(data, uint32_t(size)); },
            png::PixelLayout::Bgrx))
        return SaveResult::WriteFailed;
    for (int top = 0; top < height; top += bandRows) {
        const int rows = std::min(bandRows, height - top);
        if (rows != bandRows && !cache.Create(width, rows)) return SaveResult::TooLarge;
        // What the page leaves unpainted is white, not the previous band.
        ::PatBlt(cache.GetMemoryDC(), 0, 0, width, rows, WHITENESS);
        if (!draw(cache.GetMemoryDC(), top, rows)) return SaveResult::NothingDrawn;
        if (!win::ForEachBitmapRow(cache.GetBitmap(),
                                   [&](const uint8_t* row) { return writer.WriteRow(row); }))
            return SaveResult::WriteFailed;
        if (progress) progress(top + rows, height);
    }
    return writer.Finish() && file.Commit() ? SaveResult::Saved : SaveResult::WriteFailed;
}

}  // namespace

int DisplayBitsPerPixel() {
    HDC display = ::CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
    if (!display) return 32;
    const int bits = ::GetDeviceCaps(display, BITSPIXEL) * ::GetDeviceCaps(display, PLANES);
    ::DeleteDC(display);
    return bits;
}

bool CUICachedDC::Create(int width, int height) {
    Release();
    if (width <= 0 || height <= 0) return false;
    return surface_.Create(nullptr, width, height);
}

bool CUICachedDC::CopyFrom(HDC dc, int x, int y, int width, int height) {
    if (IsNull()) return false;
    return ::BitBlt(GetMemoryDC(), 0, 0, width, height, dc, x, y, SRCCOPY) != FALSE;
}

bool CUICachedDC::Draw(HDC dc, int x, int y, int width, int height) {
    if (IsNull()) return false;
    return ::BitBlt(dc, x, y, width, height, GetMemoryDC(), 0, 0, SRCCOPY) != FALSE;
}

int CUICachedDC::SaveToFile(const std::wstring& path) {
    if (IsNull()) return 0;
    const auto layout = LayoutBitmapFile(surface_.width(), surface_.height(), DisplayBitsPerPixel());
    if (!layout) return 0;
    BitmapFileWriter writer;
    return writer.Open(path, *layout) && writer.WriteBand(GetBitmap(), 0, surface_.height()) &&
                   writer.Commit()
               ? 1
               : 0;
}

bool TempFileBeside::Open(const std::wstring& path) {
    Discard();
    if (!staged_.Begin(path)) return false;
    file_.Reset(::CreateFileW(staged_.path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file_) {
        Discard();
        return false;
    }
    return true;
}

void TempFileBeside::Discard() {
    file_.Reset();
    staged_.Discard();
}

bool TempFileBeside::Write(const void* data, uint32_t size) {
    DWORD written = 0;
    return file_ && ::WriteFile(file_.Get(), data, size, &written, nullptr) && written == size;
}

bool TempFileBeside::WriteAt(uint64_t offset, const void* data, uint32_t size) {
    LARGE_INTEGER to;
    to.QuadPart = LONGLONG(offset);
    return file_ && ::SetFilePointerEx(file_.Get(), to, nullptr, FILE_BEGIN) && Write(data, size);
}

uint64_t TempFileBeside::Size() const {
    LARGE_INTEGER size{};
    if (!file_ || !::GetFileSizeEx(file_.Get(), &size)) return 0;
    return uint64_t(size.QuadPart);
}

bool TempFileBeside::Commit() {
    if (!file_) return false;
    file_.Reset();
    return staged_.Commit();
}

bool BitmapFileWriter::Open(const std::wstring& path, const BitmapFileLayout& layout) {
    layout_ = layout;
    colorTableWritten_ = layout.colorTableBytes == 0;
    open_ = file_.Open(path);
    return open_;
}

bool BitmapFileWriter::WriteBand(HBITMAP band, int top, int rows) {
    if (!open_ || rows <= 0 || top < 0 || top + rows > layout_.height) return false;
    DibInfo info{};
    info.header = {sizeof(BITMAPINFOHEADER), layout_.width, rows, 1, WORD(layout_.bitsPerPixel), BI_RGB};
    std::vector<BYTE> pixels(size_t(layout_.rowBytes) * size_t(rows));
    int fetched;
    {
        win::WindowDC screen(nullptr);
        ScreenPalette palette(screen.Get());
        fetched = ::GetDIBits(screen.Get(), band, 0, rows, pixels.data(),
                              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    }
    if (fetched != rows) return false;
    if (!colorTableWritten_) {
        if (!file_.WriteAt(54, info.colors, layout_.colorTableBytes)) return false;
        colorTableWritten_ = true;
    }
    // The band comes bottom-up as the file wants it: its lowest row first.
    return file_.WriteAt(layout_.RowOffset(top + rows - 1), pixels.data(), uint32_t(pixels.size()));
}

bool BitmapFileWriter::Commit() {
    if (!open_ || !colorTableWritten_) return false;
    BYTE header[54] = {};
    auto put16 = [&](int at, uint16_t v) { memcpy(header + at, &v, 2); };
    auto put32 = [&](int at, uint32_t v) { memcpy(header + at, &v, 4); };
    put16(0, 0x4D42);
    put32(2, layout_.fileSize);
    put32(10, layout_.pixelOffset);
    put32(14, 40);
    put32(18, uint32_t(layout_.width));
    put32(22, uint32_t(layout_.height));
    put16(26, 1);
    put16(28, uint16_t(layout_.bitsPerPixel));
    // Compression, image size, resolutions and colour counts stay 0.
    if (!file_.WriteAt(0, header, sizeof(header))) return false;
    // A band that was never written would leave a short file.
    if (file_.Size() != layout_.fileSize) return false;
    open_ = false;
    return file_.Commit();
}

SaveResult WritePageImage(const std::wstring& path, int width, int height, const DrawBand& draw,
                          const SaveProgress& progress, uint64_t bandBudget) {
    if (width <= 0 || height <= 0 || !draw) return SaveResult::NothingDrawn;
    return WantsPng(path) ? WritePng(path, width, height, draw, progress, bandBudget)
                          : WriteBmp(path, width, height, draw, progress, bandBudget);
}

const wchar_t* SaveFailureText(SaveResult result) {
    switch (result) {
        case SaveResult::Saved: return text::kSaved;
        case SaveResult::NothingDrawn: return text::kNothingDrawn;
        case SaveResult::TooLarge: return text::kTooLarge;
        case SaveResult::WriteFailed: break;
    }
    return text::kWriteFailed;
}

}  // namespace kestrow::pagegrab
