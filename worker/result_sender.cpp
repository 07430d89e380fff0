#include "worker/result_sender.h"

#include <windows.h>

#include "common/result_message.h"

namespace kestrow {
namespace {

void SendRecord(uint32_t code, const void* data, DWORD size) {
    HWND receiver = ::FindWindowW(kResultWindowClass, kResultWindowTitle);
    if (!receiver) return;
    COPYDATASTRUCT record;
    record.dwData = code;
    record.cbData = size;
    record.lpData = const_cast<void*>(data);
    // A launcher that does not answer must not keep this task alive: the send gives up
    // at once on a hung receiver and after a few seconds on a busy one.
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutW(receiver, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record), SMTO_ABORTIFHUNG,
                          kResultSendTimeoutMs, &answer);
}

}  // namespace

void SendResultText(uint32_t code, const std::wstring& text) {
    SendRecord(code, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)));
}

void SendResultInt(uint32_t code, int32_t value) { SendRecord(code, &value, sizeof(value)); }

}  // namespace kestrow
