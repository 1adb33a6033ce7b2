// The application around a pad view for the pad benchmarks, in this process: a private device,
// the program's images, fonts and settings, and the main window, which makes the pad view as
// start-up does. The display is the headless screen or, when asked, the SDL2 window.
#pragma once

#include "scribbo/App.h"
#include "scribbo/AppStart.h"
#include "scribbo/GPadView.h"
#include "scribbo/GScribboMain.h"
#include "scribbo/LanguageText.h"
#include "scribbo/MemoStore.h"
#include "scribbo/Settings.h"

#include "winza/GImageList.h"
#include "winza/GLib.h"
#include "winza/GlobalDC.h"
#include "winza/Hires.h"

#include <TestDevice.h>
#include <platform/display.h>
#include <platform/entry.h>
#include <platform/module.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

class PadBenchApp {
public:
    PadBenchApp() = default;
    PadBenchApp(const PadBenchApp&) = delete;
    PadBenchApp& operator=(const PadBenchApp&) = delete;
    ~PadBenchApp() {
        if (m_main && m_main->GetSafeHwnd())
            ::DestroyWindow(*m_main);
        m_main.reset();
        Pump();
        FreeLanguageTexts();
        SetGlobalBtnFrame(nullptr);
        SetGlobalFontDef(nullptr);
        SetGlobalFontBold(nullptr);
        delete g_App.ToolbarImages;
        delete g_App.ButtonFrame;
        delete g_App.Fonts;
        g_App = AppState{};
        FreeGLib();
        plat::StopDisplay();
        ResetDisplayMode();
    }

    // Starts the application on a width x height screen; sdl shows it in a desktop window.
    // False with a reason when something is missing.
    bool Start(int width, int height, bool sdl, std::string* error) {
        const plat::DeviceSetup setup{"", u"scribbo", {SCRIBBO_DATA_DIR}};
        if (!plat::PrepareDevice(setup, error))
            return false;
        if (sdl) {
            plat::StartOptions options;
            options.screenWidth = width;
            options.screenHeight = height;
            options.scale = 1;
            plat::SetStartOptions(options);
            if (!plat::StartDisplay(error))
                return false;
        } else {
            plat::StartHeadless(width, height);
        }
        ResetDisplayMode();
        FreeGlobalDC();
        InitGLibControl();
        g_App.hInstance = plat::ThisModule();
        g_App.StartMode = eStartNewMemo;
        g_App.ButtonFrame = LoadButtonFrame(g_App.hInstance);
        SetGlobalBtnFrame(g_App.ButtonFrame);
        SetGlobalFontDef(AppFonts()->GetFont(eFontNormal14));
        SetGlobalFontBold(AppFonts()->GetFont(eFontBold14));
        LoadLanguageFile();
        LoadSettings();
        EnsureFolder(g_Settings.BaseDataFolder);
        EnsureFolder(g_Settings.DefNewMemoFolder);
        g_App.ToolbarImages = LoadToolbarImages(g_App.hInstance);
        m_main = std::make_unique<GScribboMain>();
        if (!g_App.ToolbarImages ||
            !m_main->Create(nullptr, u"Scribbo", WS_VISIBLE, 0, 0, width, height)) {
            *error = "the main window could not be made";
            return false;
        }
        Pump();
        if (!View()->HasMemo() || !::IsWindowVisible(*View())) {
            *error = "the pad view shows no memo";
            return false;
        }
        return true;
    }

    GPadView* View() { return m_main->GetPadView(); }

    // Handles every message waiting, as the program's loop does before it sleeps.
    static void Pump() {
        MSG m;
        while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&m);
            ::DispatchMessageW(&m);
        }
    }

private:
    TestDevice m_device;
    std::unique_ptr<GScribboMain> m_main;
};

// One line of a stylus trace: time in ms, 'd' (down), 'm' (move) or 'u' (up), screen position.
struct TraceEvent {
    double ms;
    char kind;
    double x, y;
};

inline std::vector<TraceEvent> ReadTrace(const std::string& path) {
    std::vector<TraceEvent> events;
    if (FILE* f = std::fopen(path.c_str(), "r")) {
        TraceEvent e{};
        while (std::fscanf(f, "%lf %c %lf %lf", &e.ms, &e.kind, &e.x, &e.y) == 4)
            events.push_back(e);
        std::fclose(f);
    }
    return events;
}

// The value below which the fraction q of the sorted values lie (nearest rank).
inline double Percentile(std::vector<double> values, double q) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t rank = size_t(std::max(0.0, q * double(values.size()) - 1e-9));
    return values[std::min(rank, values.size() - 1)];
}
