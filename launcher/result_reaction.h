#pragma once
// What the launcher does with one result record from a worker. The record comes
// from any local process, so its fields are checked before use. Platform-free.
#include <cstdint>
#include <string>

namespace kestrow {

inline constexpr wchar_t kToastFullScreenSaved[] = L"屏幕已成功保存到文件";
inline constexpr wchar_t kToastRegionSaved[] = L"所选区域已成功保存到文件";
inline constexpr wchar_t kToastRegionCopied[] = L"所选区域已复制到剪贴板";
inline constexpr wchar_t kToastColorCopied[] = L"所选颜色值已复制到剪贴板";
inline constexpr wchar_t kToastFullScreenCopied[] = L"屏幕已成功复制到剪贴板";

// Longest path a result may carry, in UTF-16 code units (the system's own limit).
inline constexpr size_t kMaxResultPathChars = 32767;

enum class ResultAction {
    Ignore,       // nothing shown
    Toast,        // show `toast`
    OpenOrToast,  // open `path` in the paint program if that file exists, else show `toast`
    OverlayGone,  // the worker `processId` lives on as a pin: tell the main dialog, no toast
};

struct ResultReaction {
    ResultAction action = ResultAction::Ignore;
    const wchar_t* toast = nullptr;
    std::wstring path;
    uint32_t processId = 0;
};

// `data` and `size` are the record's payload pointer and byte count.
ResultReaction ReactToResult(uint64_t code, const void* data, uint32_t size, bool autoOpen);

}  // namespace kestrow
