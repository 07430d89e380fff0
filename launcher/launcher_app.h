#pragma once

namespace kestrow {

inline constexpr wchar_t kSingleInstanceEvent[] = L"Snaptrel_NerverCrashWithOtherApp";
// How long the process lingers after its loop, so a last ping can still go out.
inline constexpr unsigned kExitLingerMs = 5000;

// The launcher's whole run; returns the process exit code.
int RunLauncher();

}  // namespace kestrow
