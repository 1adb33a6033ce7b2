// The application's bars on a headless screen: the toolkit, settings and fonts made for the
// screen a test asks for, the shipped English texts, an owner window across the screen, and
// the default screen back afterwards for later suites.
#pragma once

#include "scribbo/App.h"
#include "scribbo/LanguageText.h"
#include "scribbo/Settings.h"

#include "gesture_test_support.h"
#include "winza/GFontManager.h"
#include "winza/GLib.h"

#include <TestDevice.h>

#include <filesystem>
#include <string>

class AppBarTest : public GestureTest {
protected:
    void SetUp() override {
        GestureTest::SetUp();
        Screen(240, 320);
    }
    void TearDown() override {
        GestureTest::TearDown();
        FreeLanguageTexts();
        AppFonts()->RemoveAllUserFont();
        AppFonts()->RemoveAllFont();
        FreeGLib();
        // Later suites expect the default screen.
        FreeGlobalDC();
        plat::StartHeadless(480, 640);
        ResetDisplayMode();
    }
    // A new screen; k is its scale (2 on the high-resolution screen).
    void Screen(int w, int h) {
        FreeGlobalDC();
        plat::StartHeadless(w, h);
        ResetDisplayMode();
        InitGLibControl();
        InitDefaultSettings();
        AppFonts()->RemoveAllUserFont();
        AppFonts()->RemoveAllFont();
        k = w > 320 ? 2 : 1;
    }
    // The shipped texts, put where the program looks for them.
    static void LoadTexts(const TestDevice& device) {
        std::filesystem::create_directories(device.Host("Program Files/Scribbo"));
        std::filesystem::copy_file(std::string(SCRIBBO_DATA_DIR) + "/language.txt",
                                   device.Host("Program Files/Scribbo/language.txt"));
        ASSERT_EQ(LoadLanguageFile(), 1);
    }
    // The owner window across the whole screen.
    static void MakeOwner(Winza& owner, LPCWSTR name = u"owner") {
        const SIZE screen = plat::ScreenSize();
        ASSERT_TRUE(owner.Create(nullptr, name, WS_POPUP | WS_VISIBLE, 0, 0, screen.cx, screen.cy));
    }

    int k = 1;
};
