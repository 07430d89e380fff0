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

constexpr DWORD kSettableAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
    FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_TEMPORARY;

bool MoveInPlace(const std::wstring& from, const std::wstring& to) {
    return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
           FALSE;
}

// An existing file is replaced the way that keeps what it carries besides its bytes:
// attributes, security, streams, creation time. A read-only one is refused, as any
// write to it would be. Wine's ReplaceFile is a plain move that keeps no attributes,
// so they are put back here as well (the new bytes still ask for a backup: archive
// stays on).
bool PutInPlace(const std::wstring& temp, const std::wstring& target) {
    const DWORD before = ::GetFileAttributesW(target.c_str());
    if (before == INVALID_FILE_ATTRIBUTES) return MoveInPlace(temp, target);
    if (!::ReplaceFileW(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                        nullptr))
        // Gone since it was asked about: then there is nothing to keep.
        return ::GetLastError() == ERROR_FILE_NOT_FOUND && Missing(target) && MoveInPlace(temp, target);
    const DWORD after = ::GetFileAttributesW(target.c_str());
    const DWORD wanted = (before & kSettableAttributes) | (after & FILE_ATTRIBUTE_ARCHIVE);
    if (after != INVALID_FILE_ATTRIBUTES && (after & kSettableAttributes) != wanted)
        ::SetFileAttributesW(target.c_str(), wanted ? wanted : FILE_ATTRIBUTE_NORMAL);
    return true;
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
    if (!PutInPlace(temp_, target_)) {
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
