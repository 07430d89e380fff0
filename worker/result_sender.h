#pragma once
#include <cstdint>
#include <string>

namespace kestrow {

// Tell the launcher about a result, synchronously. A missing launcher is ignored.
void SendResultText(uint32_t code, const std::wstring& text);
void SendResultInt(uint32_t code, int32_t value);

}  // namespace kestrow
