#include <windows.h>

#include <memory>

#include "pagegrab/kestrow_browser_view.h"
#include "pagegrab/pagegrab_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int show) {
    return kestrow::pagegrab::RunPageGrab(std::make_unique<kestrow::pagegrab::CKestrowBrowserView>(), show);
}
