#include "scribbo/ScribboProgram.h"

#include "scribbo/App.h"
#include "scribbo/AppStart.h"
#include "scribbo/GScribboMain.h"
#include "scribbo/LanguageText.h"
#include "scribbo/Palette.h"
#include "scribbo/MemoStore.h"
#include "scribbo/Settings.h"

#include "winza/GFontManager.h"
#include "winza/GImageList.h"
#include "winza/GLib.h"
#include "winza/Hires.h"

#include <platform/display.h>
#include <platform/instance.h>
#include <platform/utf.h>

#include <cstdio>
#include <memory>

namespace {

plat::InstanceParam TextParam(const WCHAR* text) {
    plat::InstanceParam p;
    p.isText = true;
    p.text = text;
    return p;
}

// What this start asks of a copy already running on the device: come to the front, and open
// the memo or start a new one in the folder that copy shows.
plat::InstanceRequest MakeInstanceRequest() {
    plat::InstanceRequest request;
    if (g_App.StartMode == eStartOpenFile) {
        request.message = UM_OPENMEMO;
        request.wParam = TextParam(g_App.StartFilePath);
        request.lParam = TextParam(g_App.StartOptionS);
    } else if (g_App.StartMode == eStartNewMemo) {
        request.message = WM_COMMAND;
        request.wParam.number = ID_NEWMEMO;
    }
    return request;
}

int RunMainWindow(const RECT& area) {
    std::unique_ptr<GScribboMain> main(new GScribboMain);
    if (!main->Create(nullptr, u"Scribbo", WS_VISIBLE, area.left, area.top, area.right - area.left,
                      area.bottom - area.top))
        return 0;
    ::ShowWindow(*main, SW_SHOW);
    ::SetForegroundWindow(*main);
    plat::ServeInstanceRequests(*main);
    MSG msg{};
    while (::GetMessageW(&msg, nullptr, 0, 0)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return int(msg.wParam);
}

void FreeAppImages() {
    SetGlobalBtnFrame(nullptr);
    delete g_App.ButtonFrame;
    g_App.ButtonFrame = nullptr;
    delete g_App.ToolbarImages;
    g_App.ToolbarImages = nullptr;
    SetGlobalFontDef(nullptr);
    SetGlobalFontBold(nullptr);
    delete g_App.Fonts;
    g_App.Fonts = nullptr;
}

} // namespace

int RunScribbo(HINSTANCE instance, LPCWSTR commandLine) {
    ParseCommandLine(commandLine);

    std::string error;
    switch (plat::ClaimInstance(MakeInstanceRequest(), &error)) {
        case plat::InstanceClaim::Forwarded:
            return 0;
        case plat::InstanceClaim::Failed:
            // Running twice on one device is worse than running without the check.
            std::fprintf(stderr, "scribbo: %s\n", error.c_str());
            break;
        case plat::InstanceClaim::First:
            break;
    }

    // The screen's size decides fonts, frames and images below: show it first.
    plat::EnsureDisplay();
    ResetDisplayMode();
    g_App.hInstance = instance;
    InitGLibControl();
    g_App.ButtonFrame = LoadButtonFrame(instance);
    SetGlobalBtnFrame(g_App.ButtonFrame);
    SetGlobalFontDef(AppFonts()->GetFont(eFontNormal14));
    SetGlobalFontBold(AppFonts()->GetFont(eFontBold14));

    if (!LoadLanguageFile())
        ShowStartupError(kLanguageFileMessage);
    LoadSettings();
    // The memo store and the folder new memos go to exist before anything is written there.
    EnsureFolder(g_Settings.BaseDataFolder);
    EnsureFolder(g_Settings.DefNewMemoFolder);

    int exitCode = 0;
    RECT area;
    GetProgramArea(&area);
    if (area.right - area.left < 1 || area.bottom - area.top < 1) {
        ShowStartupError(kProgramAreaMessage);
    } else {
        LoadPaletteColors(instance);
        g_App.ToolbarImages = LoadToolbarImages(instance);
        if (!g_App.ToolbarImages) {
            ShowStartupError(kToolbarImageMessage);
        } else {
            exitCode = RunMainWindow(area);
            SaveSettings();
        }
    }
    plat::EndInstance();

    FreeGLibControl();
    FreeLanguageTexts();
    FreeAppImages();
    return exitCode;
}
