// Paths a user may type into a save dialog, built from pieces whose meaning is known:
// the device-name test and the encoder a path picks must agree with that meaning,
// whatever folders, cases, extensions and stream suffixes surround the name.
#include <cstdlib>

#include "common/file_names.h"
#include "tests/fuzz/fuzz_input.h"
#include "worker/save_naming.h"

namespace {

template <size_t N>
std::wstring Pick(FuzzedDataProvider& in, const wchar_t* const (&words)[N]) {
    return words[in.ConsumeIntegralInRange<size_t>(0, N - 1)];
}

std::wstring AnyCase(FuzzedDataProvider& in, std::wstring s) {
    for (auto& c : s)
        if (in.ConsumeBool() && c >= L'a' && c <= L'z') c = c - L'a' + L'A';
    return s;
}

// Letters and digits, five to eight of them: never a reserved name.
std::wstring PlainName(FuzzedDataProvider& in) {
    std::wstring s;
    for (size_t n = in.ConsumeIntegralInRange<size_t>(5, 8); n > 0; --n)
        s += L"abcdefghijklmnopqrstuvwxyz0123456789"[in.ConsumeIntegralInRange(0, 35)];
    return s;
}

// Any text without a folder separator.
std::wstring AnyComponent(FuzzedDataProvider& in, size_t max) {
    std::wstring s = kestrow::fuzz::Wide(in, max);
    for (auto& c : s)
        if (c == L'\\' || c == L'/') c = L'_';
    return s;
}

void DeviceNames(FuzzedDataProvider& in) {
    static const wchar_t* const kReserved[] = {
        L"con",  L"prn",  L"aux",       L"nul",       L"conin$", L"conout$", L"com1",      L"com9",
        L"lpt1", L"lpt9", L"com\u00B9", L"lpt\u00B3", L"com2",   L"lpt5",    L"com\u00B2", L"lpt\u00B2"};
    static const wchar_t* const kNearMisses[] = {L"co",    L"conx", L"com0",      L"com10", L"lpt",  L"null",
                                                 L"conin", L"nul$", L"com\u2074", L"auxx",  L"prn1", L"lpt0"};
    // Folders in front of the name never make a file a device.
    static const wchar_t* const kFolders[] = {L"",
                                              L"C:",
                                              L"c:\\",
                                              L"D:/pics/",
                                              L"\\\\server\\share\\",
                                              L"..\\",
                                              L"a.b\\c:\\",
                                              L"\\\\.\\C:\\dir\\",
                                              L"\\\\?\\UNC\\srv\\s\\",
                                              L"//?/c:/x/",
                                              L"nul\\",
                                              L"con.d\\"};
    // What may follow a reserved name and still leave the device: an extension, a
    // stream, trailing blanks.
    static const wchar_t* const kDeviceTails[] = {L"",    L".png",  L".",       L":",       L" ",
                                                  L"   ", L" .txt", L".tar.gz", L":stream", L"  :x"};
    // What makes another name of it (never a reserved one: "lpt" + "1" would be).
    static const wchar_t* const kFileTails[] = {L"x", L" x", L"_", L"_1.png", L"x:"};

    const int kind = in.ConsumeIntegralInRange(0, 3);
    std::wstring path;
    bool device = false;
    if (kind == 3) {
        // The device namespace: anything there that is no drive or share path, and a
        // reserved name at the end of one that is.
        static const wchar_t* const kSpaces[] = {L"\\\\.\\", L"\\\\?\\", L"//./", L"/\\?/"};
        static const wchar_t* const kVolumes[] = {L"C:\\", L"z:/", L"UNC\\", L"unc/"};
        if (in.ConsumeBool()) {
            path = Pick(in, kSpaces) + AnyComponent(in, 12);
            device = true;
        } else {
            path = Pick(in, kSpaces) + Pick(in, kVolumes) + PlainName(in);
            device = in.ConsumeBool();
            if (device) path += L"\\" + AnyCase(in, Pick(in, kReserved));
        }
    } else {
        const std::wstring folder = Pick(in, kFolders);
        const bool reserved = kind == 0;
        const std::wstring name =
            AnyCase(in, reserved ? Pick(in, kReserved) : (kind == 1 ? Pick(in, kNearMisses) : PlainName(in)));
        const bool deviceTail = in.ConsumeBool();
        path = folder + name + (deviceTail ? Pick(in, kDeviceTails) : Pick(in, kFileTails));
        device = reserved && deviceTail;
    }
    if (kestrow::IsDeviceName(path) != device) std::abort();
}

void Formats(FuzzedDataProvider& in) {
    using kestrow::ImageFormat;
    static const wchar_t* const kFolders[] = {L"", L"C:\\", L"C:\\a.png\\", L"d:/x.bmp/", L"\\\\s\\h.jpg\\"};
    static const wchar_t* const kExtensions[] = {L".bmp",  L".png",     L".jpg",     L".jpeg",
                                                 L".gif",  L".",        L"",         L".b",
                                                 L".pngx", L".bmp.png", L".png.bmp", L".bm"};
    const std::wstring ext = AnyCase(in, Pick(in, kExtensions));
    std::wstring base = AnyComponent(in, 6);
    for (auto& c : base)
        if (c == L'.') c = L'_';
    const std::wstring path = Pick(in, kFolders) + base + ext;

    // The last extension of the file's own name decides; very short paths are BMP.
    ImageFormat expected = ImageFormat::Jpeg;
    std::wstring lower;
    for (wchar_t c : ext) lower += (c >= L'A' && c <= L'Z') ? wchar_t(c - L'A' + L'a') : c;
    const size_t dot = lower.rfind(L'.');
    const std::wstring last = dot == std::wstring::npos ? L"" : lower.substr(dot);
    if (last == L".bmp") expected = ImageFormat::Bmp;
    if (last == L".png") expected = ImageFormat::Png;
    if (path.size() < 5) expected = ImageFormat::Bmp;
    if (kestrow::FormatForPath(path) != expected) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    if (in.ConsumeBool())
        DeviceNames(in);
    else
        Formats(in);
    return 0;
}
