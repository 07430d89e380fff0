#pragma once
#include <cstdint>
#include <string>

namespace kestrow {

// How long a result waits for the launcher's answer.
constexpr unsigned kResultSendTimeoutMs = 4000;

// Tell the launcher about a result, synchronously, waiting for its answer at most
// kResultSendTimeoutMs. A missing or silent launcher is ignored. Callers hide their
// windows first, so that nothing of the task stays on screen while it waits.
void SendResultText(uint32_t code, const std::wstring& text);
void SendResultInt(uint32_t code, int32_t value);

}  // namespace kestrow
