#define _CRT_RAND_S
#include "launcher/run_token.h"

#include <stdlib.h>

namespace kestrow {

namespace {

LPARAM NewToken() {
    unsigned value = 0;
    // Zero is what a message without the value carries. rand_s draws from the system's
    // generator; should it ever fail, a per-run mix still keeps strangers guessing.
    for (int attempt = 0; value == 0; ++attempt) {
        if (attempt >= 4 || rand_s(&value) != 0) {
            LARGE_INTEGER now{};
            ::QueryPerformanceCounter(&now);
            value = (unsigned(now.QuadPart) ^ (unsigned(::GetCurrentProcessId()) * 2654435761u)) | 1u;
        }
    }
    return static_cast<LPARAM>(value);
}

}  // namespace

LPARAM RunToken() {
    static const LPARAM token = NewToken();
    return token;
}

}  // namespace kestrow
