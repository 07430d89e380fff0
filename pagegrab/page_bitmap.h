#pragma once
// Drawing a whole page into memory surfaces and writing it as an image file: the
// surface cache, the bitmap file writer and the banded page writer that keeps memory
// bounded however long the page is.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "common/win/gdi.h"
#include "common/win/handles.h"
#include "common/win/staged_file.h"
#include "pagegrab/web_capture_logic.h"

namespace kestrow::pagegrab {

// An off-screen surface compatible with the screen.
class CUICachedDC {
public:
    CUICachedDC() = default;
    CUICachedDC(const CUICachedDC&) = delete;
    CUICachedDC& operator=(const CUICachedDC&) = delete;
    virtual ~CUICachedDC() = default;

    // False when the bitmap cannot be made (a huge page): the cache is then empty.
    bool Create(int width, int height);
    void Release() { surface_.Reset(); }
    HDC GetMemoryDC() const { return surface_.dc(); }
    HBITMAP GetBitmap() const { return surface_.bitmap(); }
    bool IsNull() const { return !surface_; }
    bool CopyFrom(HDC dc, int x, int y, int width, int height);
    bool Draw(HDC dc, int x, int y, int width, int height);
    // Writes the whole surface as a bitmap file at the display's depth; 1 or 0.
    int SaveToFile(const std::wstring& path);

private:
    win::MemorySurface surface_;
};

// The display's bits per pixel times its planes.
int DisplayBitsPerPixel();

// The target's staged file, opened for writing: a failed save leaves no partial file
// under the chosen name and an existing file untouched.
class TempFileBeside {
public:
    TempFileBeside() = default;
    TempFileBeside(const TempFileBeside&) = delete;
    TempFileBeside& operator=(const TempFileBeside&) = delete;
    ~TempFileBeside() { Discard(); }

    bool Open(const std::wstring& path);
    bool Write(const void* data, uint32_t size);
    bool WriteAt(uint64_t offset, const void* data, uint32_t size);
    uint64_t Size() const;
    // Closes the file and puts it in place of the target.
    bool Commit();
    void Discard();

private:
    win::StagedFile staged_;
    win::UniqueFile file_;
};

// Writes a bottom-up bitmap file a band of rows at a time.
class BitmapFileWriter {
public:
    bool Open(const std::wstring& path, const BitmapFileLayout& layout);
    // Writes the rows of `band` (a bitmap exactly `rows` high and the picture's width)
    // as the picture's rows from `top` down.
    bool WriteBand(HBITMAP band, int top, int rows);
    // Writes the headers and puts the file in place.
    bool Commit();

private:
    TempFileBeside file_;
    BitmapFileLayout layout_;
    bool open_ = false;
    bool colorTableWritten_ = false;
};

enum class SaveResult { Saved, NothingDrawn, TooLarge, NoRoom, WriteFailed, Cancelled };

// Draws page rows [top, top + rows) at (0, 0) of `dc`; false when nothing can be drawn.
using DrawBand = std::function<bool(HDC dc, int top, int rows)>;
// Rows written so far out of all rows; answering false stops the save, and the
// partial file is discarded.
using SaveProgress = std::function<bool(int64_t done, int64_t total)>;
// Bytes the caller may still write in the folder of `path`; empty when unknown.
using FreeSpace = std::function<std::optional<uint64_t>(const std::wstring& path)>;

std::optional<uint64_t> FreeSpaceBeside(const std::wstring& path);

constexpr uint64_t kBandBudgetBytes = 8u << 20;

// Writes a page of width × height as BMP at the display's depth, or as PNG when the
// path ends in ".png", drawing it a band at a time; either way only a band of the page
// is held in memory. A bitmap file larger than the free space is refused up front.
SaveResult WritePageImage(const std::wstring& path, int width, int height, const DrawBand& draw,
                          const SaveProgress& progress = nullptr, uint64_t bandBudget = kBandBudgetBytes,
                          const FreeSpace& freeSpace = FreeSpaceBeside);

// The status text for a save that did not succeed.
const wchar_t* SaveFailureText(SaveResult result);

}  // namespace kestrow::pagegrab
