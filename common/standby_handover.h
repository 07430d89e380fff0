#pragma once
// What the launcher writes to a waiting worker to wake it: the task's parameter string,
// exactly as a fresh worker would get it on its command line. Platform-free.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrow {

inline constexpr uint32_t kHandoverMagic = 0x3142534B;  // "KSB1"
inline constexpr size_t kHandoverHeaderBytes = 8;       // magic, then the length in UTF-16 units
inline constexpr uint32_t kHandoverMaxChars = 1024;

std::string EncodeHandover(std::wstring_view parameters);

// The number of UTF-16 units that follow a header, or nothing when it is not one.
std::optional<uint32_t> HandoverLength(std::string_view header);
// The parameter string from the bytes that follow a header.
std::wstring HandoverParameters(std::string_view body);

// The worker's arguments for a waiting worker: the program, "-standby", then the
// inherited pipe and signal semaphore as decimal handle values. Nothing when the line is
// not one.
struct StandbyHandles {
    uintptr_t pipe = 0;
    uintptr_t signal = 0;
};
std::optional<StandbyHandles> ParseStandbyArgs(const std::vector<std::wstring>& args);
std::wstring StandbyParameters(const StandbyHandles& handles);

}  // namespace kestrow
