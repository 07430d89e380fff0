#pragma once
// Writing a file so that a failure never costs the file it replaces.
#include <windows.h>

#include <string>

namespace kestrow::win {

// True when `path` is an existing plain file on a disk: not a folder, not a device.
bool IsRegularFile(const std::wstring& path);

// A file written under a temporary name in its target's folder, which takes the
// target's place only once it is complete. An existing target stays as it was until
// then, and a temporary file that is not committed is removed, so a full disk, a
// locked target or a failed encoder leave the folder as they found it.
class StagedFile {
public:
    StagedFile() = default;
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;
    ~StagedFile() { Discard(); }

    // Reserves the temporary file beside `target`. False when the target names a
    // device or something else that is not a plain file, or the folder takes no file.
    bool Begin(const std::wstring& target);
    // Where the content goes: write it here and close it before Commit.
    const std::wstring& path() const { return temp_; }
    // Puts the temporary file in the target's place. False when it could not, or when
    // the target is not a plain file afterwards; the temporary file is gone either way.
    bool Commit();
    void Discard();

private:
    std::wstring target_;
    std::wstring temp_;
};

}  // namespace kestrow::win
