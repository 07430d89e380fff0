#pragma once
#include <windows.h>

#include <memory>

#include "pagegrab/browser_view.h"

namespace kestrow::pagegrab {

// Runs the web capture program with `view` as its browser; returns the exit code:
// 0 when the dialog cannot be made, else the quit code (1 or 2).
int RunPageGrab(std::unique_ptr<BrowserView> view, int showCommand);

}  // namespace kestrow::pagegrab
