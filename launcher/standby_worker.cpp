#include "launcher/standby_worker.h"

#include "common/standby_handover.h"

namespace kestrow {

bool StandbyWorker::Start(const std::wstring& exePath) {
    Release();
    // Only the worker's ends are inheritable, and only until it has them: the pipe's write
    // end never leaves this process, so the worker sees the pipe break whenever we end.
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return false;
    win::UniqueHandle reader(readEnd), writer(writeEnd);
    win::UniqueHandle event(::CreateEventW(&inherit, FALSE, FALSE, nullptr));
    if (!event || !::SetHandleInformation(writer.Get(), HANDLE_FLAG_INHERIT, 0)) return false;

    const StandbyHandles handles{reinterpret_cast<uintptr_t>(reader.Get()),
                                 reinterpret_cast<uintptr_t>(event.Get())};
    std::wstring command = L"\"" + exePath + L"\" " + StandbyParameters(handles);
    // As the shell starts a fresh worker, so both start their tasks alike.
    STARTUPINFOW si{sizeof(si)};
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    const BOOL started = ::CreateProcessW(exePath.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                          nullptr, &si, &pi);
    ::SetHandleInformation(event.Get(), HANDLE_FLAG_INHERIT, 0);
    if (!started) return false;
    win::UniqueHandle thread(pi.hThread);
    process_.Reset(pi.hProcess);
    pipe_ = std::move(writer);
    event_ = std::move(event);
    return true;
}

bool StandbyWorker::Ended() const {
    return process_ && ::WaitForSingleObject(process_.Get(), 0) == WAIT_OBJECT_0;
}

bool StandbyWorker::HandOver(const std::wstring& parameters) {
    if (!process_ || !pipe_ || Ended()) return false;
    // Takes the ready signal: the same event then tells that the window is up.
    if (::WaitForSingleObject(event_.Get(), 0) != WAIT_OBJECT_0) return false;
    const std::string record = EncodeHandover(parameters);
    DWORD written = 0;
    if (!::WriteFile(pipe_.Get(), record.data(), DWORD(record.size()), &written, nullptr) ||
        written != record.size()) {
        Kill();  // a worker that cannot be reached is of no more use
        return false;
    }
    pipe_.Reset();
    return true;
}

bool StandbyWorker::Shown() const {
    return event_ && ::WaitForSingleObject(event_.Get(), 0) == WAIT_OBJECT_0;
}

win::UniqueHandle StandbyWorker::TakeProcess() {
    pipe_.Reset();
    event_.Reset();
    return std::move(process_);
}

void StandbyWorker::Kill() {
    if (process_) {
        ::TerminateProcess(process_.Get(), 1);
        ::WaitForSingleObject(process_.Get(), 5000);
    }
    Release();
}

void StandbyWorker::Release() {
    pipe_.Reset();
    event_.Reset();
    process_.Reset();
}

}  // namespace kestrow
