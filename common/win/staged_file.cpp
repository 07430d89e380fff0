#include "common/win/staged_file.h"

#include <cwchar>

#include "common/file_names.h"
#include "common/win/handles.h"

namespace kestrow::win {
namespace {

std::wstring FullPath(const std::wstring& path) {
    const DWORD need = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (need == 0) return {};
    std::wstring full(need, L'\0');
    const DWORD got = ::GetFullPathNameW(path.c_str(), need, full.data(), nullptr);
    if (got == 0 || got >= need) return {};
    full.resize(got);
    return full;
}

// Opened for its attributes only, so that a file another program holds open
// without sharing can still be asked about.
UniqueFile OpenForAttributes(const std::wstring& path) {
    return UniqueFile(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

bool Missing(const std::wstring& path) {
    if (OpenForAttributes(path)) return false;
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND;
}

}  // namespace

bool IsRegularFile(const std::wstring& path) {
    if (path.empty() || IsDeviceName(path)) return false;
    UniqueFile file = OpenForAttributes(path);
    if (!file || ::GetFileType(file.Get()) != FILE_TYPE_DISK) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file.Get(), &info)) return false;
    return !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE));
}

bool StagedFile::Begin(const std::wstring& target) {
    Discard();
    // A device takes every byte and keeps none; and nothing is ever renamed onto one.
    if (target.empty() || IsDeviceName(target)) return false;
    const std::wstring full = FullPath(target);
    if (full.empty() || IsDeviceName(full)) return false;
    if (!Missing(target) && !IsRegularFile(target)) return false;
    const size_t slash = full.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return false;
    const std::wstring folder = full.substr(0, slash + 1);
    // A short name of our own rather than GetTempFileName's, which needs the folder
    // to be shorter than MAX_PATH.
    DWORD seed = ::GetTickCount() ^ (::GetCurrentProcessId() << 16) ^ DWORD(reinterpret_cast<UINT_PTR>(this));
    for (int attempt = 0; attempt < 100; ++attempt, seed = seed * 1664525u + 1013904223u) {
        wchar_t name[32];
        std::swprintf(name, 32, L"~kst%08lx.tmp", static_cast<unsigned long>(seed));
        const std::wstring candidate = folder + name;
        UniqueFile file(::CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            target_ = target;
            temp_ = candidate;
            return true;
        }
        if (::GetLastError() != ERROR_FILE_EXISTS && ::GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
    return false;
}

bool StagedFile::Commit() {
    if (temp_.empty()) return false;
    // The bytes are on the disk before the name moves to them.
    {
        UniqueFile file(::CreateFileW(temp_.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file || !::FlushFileBuffers(file.Get())) {
            Discard();
            return false;
        }
    }
    // Asked again: the target may have changed since Begin.
    if (!Missing(target_) && !IsRegularFile(target_)) {
        Discard();
        return false;
    }
    if (!::MoveFileExW(temp_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        Discard();
        return false;
    }
    temp_.clear();
    return IsRegularFile(target_);
}

void StagedFile::Discard() {
    if (!temp_.empty()) ::DeleteFileW(temp_.c_str());
    temp_.clear();
}

}  // namespace kestrow::win
