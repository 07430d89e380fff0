#pragma once
// Moments of a program's start (entry point, window made, first paint, ...) for the
// start-up benchmark. Off unless the environment variable KESTROW_START_TRACE names a
// file: then each mark keeps the performance counter, and Write writes one line per
// mark, "<name> <microseconds>", to that file. The counter is the system's monotonic
// clock under Wine, so the benchmark compares it with its own. Off, a mark costs one
// environment look-up for the whole process and a branch after that.
#include <windows.h>

#include <cstdio>
#include <iterator>

#include "common/win/handles.h"

namespace kestrow::win::start_trace {

struct State {
    int enabled = -1;  // not looked up yet
    wchar_t path[MAX_PATH] = {};
    struct Mark {
        const char* name;
        LONGLONG ticks;
    } marks[16] = {};
    int count = 0;
};

inline State& Get() {
    static State state;
    if (state.enabled < 0) {
        const DWORD n = ::GetEnvironmentVariableW(L"KESTROW_START_TRACE", state.path, MAX_PATH);
        state.enabled = n > 0 && n < MAX_PATH;
    }
    return state;
}

// `name` must outlive the process (a literal).
inline void Mark(const char* name) {
    State& s = Get();
    if (!s.enabled || s.count == int(std::size(s.marks))) return;
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    s.marks[s.count++] = {name, now.QuadPart};
}

// Writes the marks so far to the file, replacing what an earlier call wrote.
inline void Write() {
    State& s = Get();
    if (!s.enabled) return;
    LARGE_INTEGER freq;
    ::QueryPerformanceFrequency(&freq);
    char text[16 * 48];
    int used = 0;
    for (int i = 0; i < s.count && used < int(sizeof(text)); ++i) {
        const long long us = (long long)((long double)s.marks[i].ticks * 1e6L / (long double)freq.QuadPart);
        used += std::snprintf(text + used, sizeof(text) - size_t(used), "%s %lld\n", s.marks[i].name, us);
    }
    if (used > int(sizeof(text))) used = int(sizeof(text));
    UniqueFile file(::CreateFileW(s.path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    DWORD written = 0;
    ::WriteFile(file.Get(), text, DWORD(used), &written, nullptr);
}

}  // namespace kestrow::win::start_trace
