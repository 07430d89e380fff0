#include "worker/image_output.h"

#include <gdiplus.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "common/win/com.h"
#include "common/win/staged_file.h"
#include "tests/win/test_support.h"

namespace kestrow {
namespace {

using test::Pixels;

class GdiplusEnv : public ::testing::Environment {
public:
    void SetUp() override { session_ = new win::GdiplusSession(false); }
    win::GdiplusSession* session_ = nullptr;
};
const auto* const kGdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnv);

// A surface a little larger than the display, filled with per-pixel unique colours.
struct PatternSurface {
    PatternSurface() {
        win::WindowDC screen(nullptr);
        displayW = ::GetDeviceCaps(screen.Get(), HORZRES);
        displayH = ::GetDeviceCaps(screen.Get(), VERTRES);
        surface.Create(nullptr, displayW + 40, displayH + 30);
        Pixels p{surface.width(), surface.height(),
                 std::vector<unsigned>(size_t(surface.width()) * surface.height())};
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) p.data[size_t(y) * p.width + x] = test::Unique(x, y);
        test::WriteBitmap(surface.bitmap(), p);
    }
    int displayW, displayH;
    win::MemorySurface surface;
};

void ExpectCopyOf(HBITMAP bitmap, int left, int top, int w, int h) {
    ASSERT_NE(bitmap, nullptr);
    Pixels p = test::ReadBitmap(bitmap);
    ASSERT_EQ(p.width, w);
    ASSERT_EQ(p.height, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(p.At(x, y), test::Unique(left + x, top + y)) << "at " << x << "," << y;
}

TEST(CopyRegion, CopiesExactlyTheRectangle) {
    PatternSurface s;
    ASSERT_TRUE(s.surface);
    win::Bitmap b = CopyRegion(s.surface.dc(), RECT{13, 7, 13 + 300, 7 + 200});
    ExpectCopyOf(b.Get(), 13, 7, 300, 200);
}

TEST(CopyRegion, StopsAtThePrimaryDisplaysEdges) {
    PatternSurface s;
    win::Bitmap b =
        CopyRegion(s.surface.dc(), RECT{s.displayW - 50, s.displayH - 20, s.displayW + 30, s.displayH + 25});
    ExpectCopyOf(b.Get(), s.displayW - 50, s.displayH - 20, 50, 20);
}

TEST(CopyRegion, NegativeOriginStartsAtZero) {
    PatternSurface s;
    win::Bitmap b = CopyRegion(s.surface.dc(), RECT{-10, -4, 60, 30});
    ExpectCopyOf(b.Get(), 0, 0, 60, 30);
}

TEST(CopyRegion, NothingToCopyGivesNoBitmap) {
    PatternSurface s;
    EXPECT_FALSE(CopyRegion(s.surface.dc(), RECT{20, 20, 20, 80}));
    EXPECT_FALSE(CopyRegion(s.surface.dc(), RECT{s.displayW + 1, 0, s.displayW + 20, 10}));
}

std::string ReadHead(const std::wstring& path, size_t n) {
    std::ifstream f(path.c_str(), std::ios::binary);
    std::string s(n, '\0');
    f.read(s.data(), std::streamsize(n));
    s.resize(size_t(f.gcount()));
    return s;
}

Pixels Decode(const std::wstring& path) {
    Gdiplus::Bitmap image(path.c_str());
    Pixels p{int(image.GetWidth()), int(image.GetHeight())};
    p.data.resize(size_t(p.width) * p.height);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            Gdiplus::Color c;
            image.GetPixel(x, y, &c);
            p.data[size_t(y) * p.width + x] = c.GetValue() & 0xFFFFFF;
        }
    return p;
}

win::Bitmap MakeBitmap(const Pixels& p) {
    win::WindowDC screen(nullptr);
    win::Bitmap b(::CreateCompatibleBitmap(screen.Get(), p.width, p.height));
    test::WriteBitmap(b.Get(), p);
    return b;
}

struct Encoded {
    const wchar_t* name;
    bool (*save)(HBITMAP, const std::wstring&);
    std::string magic;
    int tolerance;  // largest channel difference allowed after decoding
};

TEST(Encoders, EachFileDecodesToTheSamePixels) {
    const Pixels source = test::Gradient(96, 64);
    win::Bitmap bitmap = MakeBitmap(source);
    test::TempDir dir;
    const Encoded cases[] = {
        {L"a.png", SaveAsPng, "\x89PNG", 0},
        {L"a.bmp", SaveAsBmp, "BM", 0},
        {L"a.jpg", SaveAsJpeg, "\xFF\xD8\xFF", 24},
    };
    for (const auto& c : cases) {
        const std::wstring path = dir.File(c.name);
        ASSERT_TRUE(c.save(bitmap.Get(), path)) << c.magic;
        EXPECT_EQ(ReadHead(path, c.magic.size()), c.magic);
        Pixels decoded = Decode(path);
        ASSERT_EQ(decoded.width, source.width);
        ASSERT_EQ(decoded.height, source.height);
        int worst = 0;
        for (size_t i = 0; i < source.data.size(); ++i)
            for (int shift : {0, 8, 16}) {
                int a = (source.data[i] >> shift) & 255, b = (decoded.data[i] >> shift) & 255;
                worst = std::max(worst, std::abs(a - b));
            }
        EXPECT_LE(worst, c.tolerance) << c.magic;
    }
}

// The worker's own PNG writer, read back by GDI+: a single pixel, a column, a row, and
// noise (every row filter) tall enough to be fetched from the bitmap in several pieces.
TEST(Encoders, PngKeepsEveryPixelOfEveryShape) {
    test::TempDir dir;
    uint32_t seed = 1;
    const auto noise = [&](int w, int h) {
        Pixels p{w, h, std::vector<unsigned>(size_t(w) * h)};
        for (auto& v : p.data) v = (seed = seed * 1664525u + 1013904223u) >> 8;
        return p;
    };
    for (const Pixels& source :
         {noise(1, 1), test::Gradient(2, 300), test::Gradient(300, 2), noise(700, 500)}) {
        SCOPED_TRACE(testing::Message() << source.width << "x" << source.height);
        win::Bitmap bitmap = MakeBitmap(source);
        const std::wstring path = dir.File(L"shape.png");
        ASSERT_TRUE(SaveAsPng(bitmap.Get(), path));
        const Pixels decoded = Decode(path);
        ASSERT_EQ(decoded.width, source.width);
        ASSERT_EQ(decoded.height, source.height);
        for (size_t i = 0; i < source.data.size(); ++i)
            ASSERT_EQ(decoded.data[i], source.data[i])
                << "pixel " << i % source.width << "," << i / source.width;
    }
}

TEST(Encoders, SaveImageFollowsTheFormat) {
    win::Bitmap bitmap = MakeBitmap(test::Gradient(16, 16));
    test::TempDir dir;
    ASSERT_TRUE(SaveImage(bitmap.Get(), dir.File(L"x.dat"), ImageFormat::Png));
    EXPECT_EQ(ReadHead(dir.File(L"x.dat"), 4), "\x89PNG");
    ASSERT_TRUE(SaveImage(bitmap.Get(), dir.File(L"y.dat"), ImageFormat::Bmp));
    EXPECT_EQ(ReadHead(dir.File(L"y.dat"), 2), "BM");
    ASSERT_TRUE(SaveImage(bitmap.Get(), dir.File(L"z.dat"), ImageFormat::Jpeg));
    EXPECT_EQ(ReadHead(dir.File(L"z.dat"), 2), "\xFF\xD8");
}

TEST(Encoders, AFailedWriteIsReported) {
    win::Bitmap bitmap = MakeBitmap(test::Gradient(16, 16));
    test::TempDir dir;
    const std::wstring missingFolder = dir.File(L"no-such-folder\\a.png");
    EXPECT_FALSE(SaveAsPng(bitmap.Get(), missingFolder));

    // A file another program holds open without sharing cannot be replaced.
    const std::wstring locked = dir.File(L"locked.bmp");
    win::UniqueFile holder(::CreateFileW(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);
    EXPECT_FALSE(SaveAsBmp(bitmap.Get(), locked));
    EXPECT_FALSE(SaveAsJpeg(bitmap.Get(), locked));
    holder.Reset();
    EXPECT_TRUE(SaveAsBmp(bitmap.Get(), locked));
}

std::vector<std::wstring> FolderContents(const test::TempDir& dir) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW(dir.File(L"*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do
        if (fd.cFileName[0] != L'.') names.push_back(fd.cFileName);
    while (::FindNextFileW(h, &fd));
    ::FindClose(h);
    return names;
}

TEST(Encoders, ADeviceIsNotAFile) {
    win::Bitmap bitmap = MakeBitmap(test::Gradient(16, 16));
    test::TempDir dir;
    // Each of these takes the bytes and keeps none: a save there would claim a file
    // that is not there.
    EXPECT_FALSE(SaveAsPng(bitmap.Get(), dir.File(L"NUL.png")));
    EXPECT_FALSE(SaveAsBmp(bitmap.Get(), dir.File(L"con")));
    EXPECT_FALSE(SaveAsJpeg(bitmap.Get(), L"\\\\.\\NUL"));
    EXPECT_TRUE(FolderContents(dir).empty()) << "no temporary file left";
    EXPECT_FALSE(win::IsRegularFile(L"\\\\.\\NUL"));
    EXPECT_FALSE(win::IsRegularFile(dir.File(L"")));
    ASSERT_TRUE(SaveAsPng(bitmap.Get(), dir.File(L"a.png")));
    EXPECT_TRUE(win::IsRegularFile(dir.File(L"a.png")));
    EXPECT_EQ(FolderContents(dir), std::vector<std::wstring>{L"a.png"});
}

// Drives the save dialog from inside its own modal loop, one step per tick, each step
// waiting until the window it wants is there.
struct DialogSteps {
    static inline std::vector<std::function<bool()>> steps;
    static inline size_t next = 0;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (next < steps.size() && steps[next]()) ++next;
    }
};

struct DialogSearch {
    bool (*match)(HWND);
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND w, LPARAM lp) {
    auto* search = reinterpret_cast<DialogSearch*>(lp);
    wchar_t cls[16] = {};
    ::GetClassNameW(w, cls, 16);
    if (::IsWindowVisible(w) && lstrcmpW(cls, L"#32770") == 0 && search->match(w)) {
        search->found = w;
        return FALSE;
    }
    return TRUE;
}

HWND VisibleDialog(bool (*match)(HWND)) {
    DialogSearch search{match, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND SaveDialog() {
    return VisibleDialog([](HWND w) { return ::GetDlgItem(w, 1136) != nullptr; });
}

HWND FailureBox() {
    return VisibleDialog([](HWND w) {
        wchar_t title[16] = {};
        ::GetWindowTextW(w, title, 16);
        return std::wstring(title) == L"保存失败";
    });
}

std::wstring BoxText(HWND box) {
    for (HWND c = ::GetWindow(box, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        wchar_t cls[16] = {}, text[512] = {};
        ::GetClassNameW(c, cls, 16);
        ::GetWindowTextW(c, text, 512);
        if (lstrcmpW(cls, L"Static") == 0 && text[0]) return text;
    }
    return {};
}

// Types `name` into the dialog's file name box and confirms.
std::function<bool()> Answer(std::wstring name) {
    return [name] {
        HWND dialog = SaveDialog();
        if (!dialog) return false;
        HWND edit = ::FindWindowExW(::GetDlgItem(dialog, 1148), nullptr, L"Edit", nullptr);
        if (!edit) edit = ::GetDlgItem(dialog, 1148);
        ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
        ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        return true;
    };
}

bool RunSaveWithDialog(HBITMAP bitmap, std::wstring& path, size_t maxChars,
                       std::vector<std::function<bool()>> steps) {
    DialogSteps::steps = std::move(steps);
    DialogSteps::next = 0;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &DialogSteps::Tick);
    const bool saved = SaveWithDialog(bitmap, path, maxChars);
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(DialogSteps::next, DialogSteps::steps.size()) << "steps done";
    return saved;
}

// A small buffer makes the real dialog fail. (The worker's own buffer takes any path
// the system does; a name past MAX_PATH cannot be tried here, as Wine 8's dialog
// overruns a buffer of its own on one and crashes.)
TEST(SaveDialog, ANameTooLongForTheDialogIsReportedAndTheDialogOfferedAgain) {
    win::Bitmap bitmap = MakeBitmap(test::Gradient(16, 16));
    test::TempDir dir;
    std::wstring said, path;
    bool offeredAgain = false;
    const bool saved = RunSaveWithDialog(bitmap.Get(), path, 24,
                                         {Answer(dir.File(L"a-name-longer-than-the-buffer.png")),
                                          [&] {
                                              HWND box = FailureBox();
                                              if (!box) return false;
                                              said = BoxText(box);
                                              ::PostMessageW(box, WM_COMMAND, IDOK, 0);
                                              return true;
                                          },
                                          [&] {
                                              HWND dialog = SaveDialog();
                                              if (!dialog) return false;
                                              offeredAgain = true;
                                              ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                                              return true;
                                          }});
    EXPECT_FALSE(saved);
    EXPECT_EQ(said.find(L"文件名太长"), 0u) << testing::PrintToString(said);
    EXPECT_TRUE(offeredAgain);
    EXPECT_TRUE(FolderContents(dir).empty());
}

}  // namespace
}  // namespace kestrow
