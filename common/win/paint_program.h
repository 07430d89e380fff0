#pragma once
// Opening an image in the system's paint program: the launcher's auto-open and
// pagegrab's "open when done".
#include <windows.h>

#include <string>
#include <vector>

#include "common/win/handles.h"

namespace kestrow::win {

// Where the paint program may be, in the order tried, by full path (by bare name the shell
// would look in the current folder first): the system folder, then the app alias in the
// user's %LOCALAPPDATA%\Microsoft\WindowsApps, which is all Windows 11 has.
std::vector<std::wstring> PaintProgramPaths();

struct PaintStart {
    bool started = false;
    // The program's process when the shell tells it (a running program that takes the
    // "edit" action gives none).
    UniqueHandle process;
};

// Starts the first of `programs` that exists with the image's quoted path, and failing
// those the image's own "edit" action. Nothing has started when `started` is false.
PaintStart OpenInPaint(const std::wstring& image,
                       const std::vector<std::wstring>& programs = PaintProgramPaths());

}  // namespace kestrow::win
