// pagegrab with the stand-in browser: the end-to-end scenarios drive the real dialog
// and flow with pages of a known size and picture. Navigations are logged to
// "<own name>.navigate.log" beside the program.
#include <windows.h>

#include "pagegrab/pagegrab_app.h"
#include "tests/tools/standin_view.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int show) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring log = self;
    log.resize(log.rfind(L'.'));
    return kestrow::pagegrab::RunPageGrab(
        std::make_unique<kestrow::testtools::StandinView>(log + L".navigate.log"), show);
}
