#include "launcher/standby_worker.h"

#include "launcher/run_token.h"

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
    // A semaphore, not an event: "taken" and "shown" may both come before we look.
    win::UniqueHandle signal(::CreateSemaphoreW(&inherit, 0, 3, nullptr));
    if (!signal || !::SetHandleInformation(writer.Get(), HANDLE_FLAG_INHERIT, 0)) return false;

    const StandbyHandles handles{reinterpret_cast<uintptr_t>(reader.Get()),
                                 reinterpret_cast<uintptr_t>(signal.Get())};
    std::wstring command = L"\"" + exePath + L"\" " + StandbyParameters(handles);
    // As the shell starts a fresh worker, so both start their tasks alike.
    STARTUPINFOW si{sizeof(si)};
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    const BOOL started = ::CreateProcessW(exePath.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                          nullptr, &si, &pi);
    ::SetHandleInformation(signal.Get(), HANDLE_FLAG_INHERIT, 0);
    if (!started) return false;
    win::UniqueHandle thread(pi.hThread);
    process_.Reset(pi.hProcess);
    pipe_ = std::move(writer);
    signal_ = std::move(signal);
    return true;
}

bool StandbyWorker::Ended() const {
    return process_ && ::WaitForSingleObject(process_.Get(), 0) == WAIT_OBJECT_0;
}

bool StandbyWorker::HandOver(const std::wstring& parameters) {
    if (!process_ || !pipe_ || Ended()) return false;
    // Takes the ready signal.
    if (::WaitForSingleObject(signal_.Get(), 0) != WAIT_OBJECT_0) return false;
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

bool StandbyWorker::Taken() { return signal_ && ::WaitForSingleObject(signal_.Get(), 0) == WAIT_OBJECT_0; }

StandbyWorker::Woken StandbyWorker::TakeWoken() {
    pipe_.Reset();
    return {std::move(process_), std::move(signal_)};
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
    signal_.Reset();
    process_.Reset();
}

bool SignalWatch::Start(win::UniqueHandle handle, HWND window, UINT message) {
    Stop();
    handle_ = std::move(handle);
    window_ = window;
    message_ = message;
    HANDLE wait = nullptr;
    if (!handle_ || !::RegisterWaitForSingleObject(&wait, handle_.Get(), &SignalWatch::Fired, this, INFINITE,
                                                   WT_EXECUTEONLYONCE)) {
        handle_.Reset();
        return false;
    }
    wait_.Reset(wait);
    return true;
}

void SignalWatch::Stop() {
    wait_.Reset();
    handle_.Reset();
}

void CALLBACK SignalWatch::Fired(void* self, BOOLEAN) {
    const auto* watch = static_cast<const SignalWatch*>(self);
    PostFromThisRun(watch->window_, watch->message_, 0);
}

}  // namespace kestrow
