// The main window on the headless screen: layout at each screen size, the toolbar's commands,
// the date list bar, the splitter's drag and slide, and the end of the program.
#include "scribbo/App.h"
#include "scribbo/AppStart.h"
#include "scribbo/GDateListBar.h"
#include "scribbo/GFolderItem.h"
#include "scribbo/GFolderListBar.h"
#include "scribbo/GScribboMain.h"
#include "scribbo/Settings.h"

#include "winza/GImageList.h"
#include "winza/GLib.h"
#include "winza/GlobalDC.h"
#include "winza/GTime.h"
#include "winza/Hires.h"

#include <TestClock.h>
#include <TestDevice.h>
#include <platform/display.h>
#include <platform/module.h>

#include <gtest/gtest.h>

#include <fstream>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

namespace {

class MainWindow : public ::testing::Test {
protected:
    void TearDown() override {
        plat::UnloadInputScript();
        if (main && main->GetSafeHwnd())
            ::DestroyWindow(*main);
        main.reset();
        Pump();
        delete g_App.ToolbarImages;
        delete g_App.Fonts;
        g_App = AppState{};
        FreeGLib();
        ResetDisplayMode();
    }
    // A new screen and a main window over the program area, as start-up makes it.
    void Start(int width, int height, int startMode = eStartNormal,
               const std::function<void()>& settings = {}) {
        plat::StartHeadless(width, height);
        ResetDisplayMode();
        FreeGlobalDC();
        InitGLibControl();
        InitDefaultSettings();
        if (settings)
            settings();
        g_App.hInstance = plat::ThisModule();
        g_App.StartMode = startMode;
        g_App.ToolbarImages = LoadToolbarImages(g_App.hInstance);
        ASSERT_NE(g_App.ToolbarImages, nullptr);
        main = std::make_unique<GScribboMain>();
        ASSERT_TRUE(main->Create(nullptr, u"Scribbo", WS_VISIBLE, 0, 0, width, height));
        Pump();
    }
    // The screen turns: a new surface, and the window follows the program area.
    void Turn(int width, int height) {
        plat::StartHeadless(width, height);
        ::MoveWindow(*main, 0, 0, width, height, TRUE);
        Pump();
    }
    static void Pump() {
        MSG m;
        while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&m);
            ::DispatchMessageW(&m);
        }
    }
    // A press whose tap-and-hold check plays the script (it runs while the check waits).
    void Press(int x, int y, const std::string& script) {
        const std::string path = device.Root() + "/press.txt";
        std::ofstream(path) << script << "wait 60000\n";
        std::string error;
        ASSERT_TRUE(plat::LoadInputScript(path, &error)) << error;
        plat::InputStylusDown(x, y);
        Pump();
        plat::UnloadInputScript();
    }
    void Tap(int x, int y) {
        Press(x, y, "wait 100\nup " + std::to_string(x) + " " + std::to_string(y) + "\n");
        Pump();
    }
    std::vector<int> VisibleButtons() {
        std::vector<int> ids;
        for (int id = ID_NEWMEMO; id <= ID_RESCAN; ++id)
            if (main->GetToolBar()->IsButtonVisible(id))
                ids.push_back(id);
        return ids;
    }
    static RECT WindowRect(HWND hwnd) {
        RECT rc{};
        ::GetWindowRect(hwnd, &rc);
        return rc;
    }

    TestDevice device;
    TestClock clock;
    std::unique_ptr<GScribboMain> main;
};

TEST_F(MainWindow, ScaleToButtonFollowsTheButtonSize) {
    struct Case {
        int width, height;
        DWORD buttonSize;
        int n, expected;
    } cases[] = {
        {240, 320, 16, 26, 26}, {240, 320, 24, 26, 39}, {240, 320, 24, 7, 10},
        {480, 640, 32, 26, 26}, {480, 640, 32, 52, 52},
    };
    for (const Case& c : cases) {
        plat::StartHeadless(c.width, c.height);
        ResetDisplayMode();
        g_Settings.ButtonSize = c.buttonSize;
        EXPECT_EQ(ScaleToButton(c.n), c.expected) << c.width << " " << c.buttonSize << " " << c.n;
    }
}

TEST_F(MainWindow, ProgramAreaLeavesOutAShownTaskBar) {
    plat::StartHeadless(240, 320);
    HWND bar = plat::CreateTaskbar();
    ASSERT_NE(bar, nullptr);
    struct Case {
        RECT bar;
        bool shown;
        RECT area;
    } cases[] = {
        {{0, 0, 240, 26}, true, {0, 26, 240, 320}},
        {{0, 294, 240, 320}, true, {0, 0, 240, 294}},
        {{0, 0, 240, 26}, false, {0, 0, 240, 320}},
        {{0, 0, 240, 0}, true, {0, 0, 240, 320}},
    };
    for (const Case& c : cases) {
        ::MoveWindow(bar, c.bar.left, c.bar.top, c.bar.right - c.bar.left, c.bar.bottom - c.bar.top,
                     FALSE);
        ::ShowWindow(bar, c.shown ? SW_SHOW : SW_HIDE);
        RECT area;
        GetProgramArea(&area);
        EXPECT_EQ(area.left, c.area.left);
        EXPECT_EQ(area.top, c.area.top) << c.bar.top << " " << c.bar.bottom << " " << c.shown;
        EXPECT_EQ(area.right, c.area.right);
        EXPECT_EQ(area.bottom, c.area.bottom) << c.bar.top << " " << c.shown;
    }
    ::DestroyWindow(bar);
}

TEST_F(MainWindow, LayoutOnEachScreen) {
    struct Case {
        int width, height, barHeight;
    } cases[] = {{240, 320, 26}, {480, 640, 52}, {640, 480, 52}};
    for (const Case& c : cases) {
        Start(c.width, c.height);
        SCOPED_TRACE(c.width);
        // The splitter starts at the screen's width: the list side fills the window.
        EXPECT_EQ(main->GetSplitterRect().left, c.width);
        const RECT bar = WindowRect(*main->GetToolBar());
        EXPECT_EQ(bar.left, 0);
        EXPECT_EQ(bar.right, c.width);
        EXPECT_EQ(bar.bottom, c.height);
        EXPECT_EQ(bar.bottom - bar.top, c.barHeight);
        EXPECT_EQ(VisibleButtons(), (std::vector<int>{ID_NEWMEMO, ID_NAVI_DATE, ID_VIEW_PREVIEW,
                                                      ID_OPTIONS, ID_EXIT}));
        // Buttons are the icon plus the frame, and lie inside the bar.
        const int icon = IsHires() ? 32 : 16;
        EXPECT_EQ(main->GetToolBar()->GetButtonWidth(), icon + (IsHires() ? 14 : 7));
        ::DestroyWindow(*main);
        main.reset();
        delete g_App.ToolbarImages;
        g_App.ToolbarImages = nullptr;
    }
}

TEST_F(MainWindow, NavigationAndViewCommandsSwapTheirButtons) {
    Start(240, 320);
    struct Step {
        int command;
        DWORD navi, view;
        std::vector<int> visible;
    } steps[] = {
        {ID_NAVI_DATE, 2, 3, {ID_NEWMEMO, ID_NAVI_FOLDER, ID_VIEW_PREVIEW, ID_OPTIONS, ID_EXIT}},
        {ID_VIEW_PREVIEW, 2, 4, {ID_NEWMEMO, ID_NAVI_FOLDER, ID_VIEW_LIST, ID_OPTIONS, ID_EXIT}},
        {ID_NAVI_FOLDER, 1, 4, {ID_NEWMEMO, ID_NAVI_DATE, ID_VIEW_LIST, ID_OPTIONS, ID_EXIT}},
        {ID_VIEW_LIST, 1, 3, {ID_NEWMEMO, ID_NAVI_DATE, ID_VIEW_PREVIEW, ID_OPTIONS, ID_EXIT}},
        // Commands whose windows the program does not have change nothing.
        {ID_NOACTION, 1, 3, {ID_NEWMEMO, ID_NAVI_DATE, ID_VIEW_PREVIEW, ID_OPTIONS, ID_EXIT}},
    };
    for (const Step& s : steps) {
        ::SendMessageW(*main, WM_COMMAND, s.command, 0);
        EXPECT_EQ(g_Settings.TVNaviMode, s.navi) << s.command;
        EXPECT_EQ(g_Settings.TVViewMode, s.view) << s.command;
        EXPECT_EQ(VisibleButtons(), s.visible) << s.command;
    }
}

TEST_F(MainWindow, StoredModesChooseTheButtonsAtCreation) {
    Start(240, 320, eStartNormal, [] {
        g_Settings.TVNaviMode = 2;
        g_Settings.TVViewMode = 4;
    });
    EXPECT_EQ(VisibleButtons(),
              (std::vector<int>{ID_NEWMEMO, ID_NAVI_FOLDER, ID_VIEW_LIST, ID_OPTIONS, ID_EXIT}));
}

TEST_F(MainWindow, HoldingTheSplitterSlidesItToo) {
    Start(240, 320);
    Turn(320, 240);
    Press(243, 100, "wait 700\n");
    EXPECT_TRUE(main->IsSliding());
    while (main->IsSliding()) {
        clock.Advance(GScribboMain::kSlideMs);
        Pump();
    }
    EXPECT_EQ(main->GetSplitterRect().left, 0);
}

TEST_F(MainWindow, ExitAndCloseEndTheMessageLoopWithZero) {
    for (UINT how : {UINT(WM_COMMAND), UINT(WM_CLOSE), UINT(0x0012)}) {
        Start(240, 320);
        ::SetCapture(*main);
        if (how == WM_COMMAND)
            ::SendMessageW(*main, WM_COMMAND, ID_EXIT, 0);
        else
            ::SendMessageW(*main, how, 0, 0);
        EXPECT_FALSE(::IsWindow(*main)) << how;
        EXPECT_EQ(::GetCapture(), nullptr) << how;
        EXPECT_EQ(GScribboMain::Instance(), nullptr);
        MSG m{};
        while (::GetMessageW(&m, nullptr, 0, 0))
            ::DispatchMessageW(&m);
        EXPECT_EQ(m.message, UINT(WM_QUIT));
        EXPECT_EQ(m.wParam, 0u);
        main.reset();
        delete g_App.ToolbarImages;
        g_App.ToolbarImages = nullptr;
    }
}

TEST_F(MainWindow, ReloadingTheToolbarImagesKeepsTheOldOnesWhenNoneLoad) {
    Start(240, 320);
    ::MoveWindow(*main, 0, 40, 200, 200, TRUE);
    GImageList* old = g_App.ToolbarImages;
    // Without the program's resources and without the file nothing loads: the user is told,
    // and the bar keeps its images.
    std::filesystem::remove(device.Host("Program Files/Scribbo/toolbar.bmp"));
    g_App.hInstance = plat::ModuleFromAddress(reinterpret_cast<const void*>(&RegCloseKey));
    const std::string path = device.Root() + "/answer.txt";
    std::ofstream(path) << "key RETURN\nwait 60000\n";
    std::string error;
    ASSERT_TRUE(plat::LoadInputScript(path, &error)) << error;
    EXPECT_EQ(ReloadToolbarImage(), 0);
    plat::UnloadInputScript();
    EXPECT_EQ(g_App.ToolbarImages, old);
    EXPECT_EQ(main->GetToolBar()->GetButtonImage(), old);
    // With them it loads anew and the window goes back to the program area.
    g_App.hInstance = plat::ThisModule();
    EXPECT_EQ(ReloadToolbarImage(), 1);
    EXPECT_NE(g_App.ToolbarImages, nullptr);
    EXPECT_EQ(main->GetToolBar()->GetButtonImage(), g_App.ToolbarImages);
    const RECT at = WindowRect(*main);
    EXPECT_EQ(at.top, 0);
    EXPECT_EQ(at.right, 240);
    EXPECT_EQ(at.bottom, 320);
}

TEST_F(MainWindow, TheStoreIsScannedAtStartAndByTheRescanCommand) {
    namespace fs = std::filesystem;
    const fs::path pad = device.Host("My Documents/Pad");
    fs::create_directories(pad / "Work");
    std::ofstream(pad / "20070315_093000.pad") << "memo";
    std::ofstream(pad / "Work" / "20070316_101500.olx") << "memo";
    Start(240, 320);
    GDateListBar* bar = main->GetDateListBar();
    EXPECT_EQ(bar->GetDayCount(), 2);
    EXPECT_TRUE(bar->HasMemos(LONG(double(GTime(2007, 3, 15)))));
    EXPECT_TRUE(fs::exists(pad / "Work" / "20070316_101500.pad"));
    EXPECT_TRUE(fs::exists(pad / "Work" / "folder.info"));
    std::ofstream(pad / "20070320_080000.pad") << "memo";
    fs::remove(pad / "20070315_093000.pad");
    ::SendMessageW(*main, WM_COMMAND, ID_RESCAN, 0);
    EXPECT_EQ(bar->GetDayCount(), 2);
    EXPECT_FALSE(bar->HasMemos(LONG(double(GTime(2007, 3, 15)))));
    EXPECT_TRUE(bar->HasMemos(LONG(double(GTime(2007, 3, 20)))));
}

TEST_F(MainWindow, DirectStartBuildsNoListSide) {
    Start(240, 320, eStartNewMemo);
    EXPECT_EQ(main->GetToolBar()->GetSafeHwnd(), nullptr);
    EXPECT_EQ(main->GetDateListBar()->GetSafeHwnd(), nullptr);
}

TEST_F(MainWindow, MovingStoresThePosition) {
    Start(240, 320);
    ::MoveWindow(*main, 0, 26, 240, 294, TRUE);
    Pump();
    EXPECT_EQ(g_Settings.ProgramX, 0u);
    EXPECT_EQ(g_Settings.ProgramY, 26u);
    EXPECT_EQ(main->GetSplitterRect().bottom, 293);
    EXPECT_EQ(WindowRect(*main->GetToolBar()).bottom, 26 + 294);
}

TEST_F(MainWindow, AfterTheScreenTurnsTheListKeepsItsWidth) {
    Start(240, 320);
    Turn(320, 240);
    EXPECT_EQ(main->GetSplitterRect().left, 240);
    EXPECT_EQ(WindowRect(*main->GetToolBar()).right, 240);
    HDC screen = ::GetDC(nullptr);
    EXPECT_EQ(::GetPixel(screen, 300, 120), main->GetListColor());
    EXPECT_EQ(::GetPixel(screen, 243, 120), GetGLibColor(20));
    ::ReleaseDC(nullptr, screen);
}

TEST_F(MainWindow, SplitterDraggedLeftSettlesAt200) {
    Start(240, 320);
    Turn(320, 240);
    // Moving past the hold's tolerance ends the check: the drag goes on.
    Press(243, 100, "move 243 100\nmove 236 100\n");
    for (int x = 230; x >= 50; x -= 20) {
        plat::InputStylusMove(x, 100);
        Pump();
    }
    plat::InputStylusUp(50, 100);
    Pump();
    EXPECT_EQ(main->GetSplitterRect().left, 200);
    EXPECT_EQ(main->GetSplitterRect().right, 206);
    EXPECT_EQ(g_Settings.SplitterWidth, 200u);
    EXPECT_EQ(WindowRect(*main->GetToolBar()).right, 200);
}

TEST_F(MainWindow, TappingTheSplitterSlidesItShutAndOpen) {
    Start(240, 320);
    Turn(320, 240);
    Tap(243, 100);
    ASSERT_TRUE(main->IsSliding());
    std::vector<int> lefts;
    for (int tick = 0; tick < 40 && main->IsSliding(); ++tick) {
        clock.Advance(GScribboMain::kSlideMs);
        Pump();
        lefts.push_back(main->GetSplitterRect().left);
    }
    EXPECT_EQ(lefts, (std::vector<int>{192, 146, 102, 60, 20, 0}));
    EXPECT_FALSE(::IsWindowVisible(*main->GetToolBar()));

    Tap(2, 100);
    lefts.clear();
    for (int tick = 0; tick < 40 && main->IsSliding(); ++tick) {
        clock.Advance(GScribboMain::kSlideMs);
        Pump();
        lefts.push_back(main->GetSplitterRect().left);
    }
    // Out again from 0: 48, 46, 44 ... never fewer than 5, stopping at the old place.
    EXPECT_EQ(lefts, (std::vector<int>{48, 94, 138, 180, 220, 240}));
    EXPECT_TRUE(::IsWindowVisible(*main->GetToolBar()));
    EXPECT_EQ(WindowRect(*main->GetToolBar()).right, 240);
}

TEST_F(MainWindow, DateListBarFollowsTheNavigationAndTheSplitter) {
    // Wednesday 15 March 2023.
    SYSTEMTIME now{2023, 3, 3, 15, 9, 30, 0, 0};
    ASSERT_TRUE(plat::SetVirtualLocalTime(now));
    Start(240, 320);
    GDateListBar* bar = main->GetDateListBar();
    ASSERT_NE(bar->GetSafeHwnd(), nullptr);
    EXPECT_EQ(bar->GetWeekday(), 4);
    const RECT place = WindowRect(*bar);
    const RECT expected{0, 0, 240, 23};
    EXPECT_TRUE(::EqualRect(&place, &expected));
    struct Step {
        int command;
        bool shown;
    } steps[] = {{0, false}, {ID_NAVI_DATE, true}, {ID_NAVI_FOLDER, false}, {ID_NAVI_DATE, true}};
    for (const Step& s : steps) {
        if (s.command)
            ::SendMessageW(*main, WM_COMMAND, s.command, 0);
        EXPECT_EQ(::IsWindowVisible(*bar) != 0, s.shown) << s.command;
    }

    // The list colour is the selected weekday's, and follows a new date at once.
    Turn(320, 240);
    EXPECT_EQ(WindowRect(*bar).right, 240);
    EXPECT_EQ(main->GetListColor(), g_Settings.WeekdayColor[3]);
    g_Settings.WeekdayColor[6] = 0x3366AA;
    bar->SetDate(bar->GetDate() + 3);
    Pump();
    EXPECT_EQ(main->GetListColor(), COLORREF(0x3366AA));
    HDC screen = ::GetDC(nullptr);
    EXPECT_EQ(::GetPixel(screen, 300, 100), COLORREF(0x3366AA));
    ::ReleaseDC(nullptr, screen);

    // Collapsed, the bar goes with the rest of the list side; it comes back when opened.
    Tap(243, 100);
    while (main->IsSliding()) {
        clock.Advance(GScribboMain::kSlideMs);
        Pump();
    }
    EXPECT_FALSE(::IsWindowVisible(*bar));
    Tap(2, 100);
    while (main->IsSliding()) {
        clock.Advance(GScribboMain::kSlideMs);
        Pump();
    }
    EXPECT_TRUE(::IsWindowVisible(*bar));

    // The window's end takes the bar and its index with it.
    const std::string host = device.Root() + "/memo.pad";
    std::ofstream(host) << "memo";
    ASSERT_EQ(bar->AddDateEntry(u"\\memo.pad", bar->GetDate(), 1), 1);
    ::DestroyWindow(*main);
    EXPECT_EQ(bar->GetSafeHwnd(), nullptr);
    EXPECT_EQ(bar->GetDayCount(), 0);
}

TEST_F(MainWindow, FolderListBarFollowsTheNavigationAndGivesTheListColour) {
    namespace fs = std::filesystem;
    fs::create_directories(device.Host("My Documents/Pad/Work"));
    Start(240, 320);
    GFolderListBar* bar = main->GetFolderListBar();
    ASSERT_NE(bar->GetSafeHwnd(), nullptr);
    EXPECT_EQ(std::u16string(bar->GetFolderPath()), u"\\My Documents\\Pad");
    EXPECT_EQ(bar->GetTabCount(), 2);
    const RECT place = WindowRect(*bar);
    const RECT expected{0, 0, 240, 23};
    EXPECT_TRUE(::EqualRect(&place, &expected));
    struct Step {
        int command;
        bool shown;
    } steps[] = {{0, true}, {ID_NAVI_DATE, false}, {ID_NAVI_FOLDER, true}};
    for (const Step& s : steps) {
        if (s.command)
            ::SendMessageW(*main, WM_COMMAND, s.command, 0);
        EXPECT_EQ(::IsWindowVisible(*bar) != 0, s.shown) << s.command;
    }

    // The area right of the splitter shows the listed folder's colour, and follows it.
    Turn(320, 240);
    bar->SetCurFolder(u"\\My Documents\\Pad\\Work", 1);
    bar->SetFolderColor(0x3366AA);
    Pump();
    EXPECT_EQ(main->GetListColor(), COLORREF(0x3366AA));
    HDC screen = ::GetDC(nullptr);
    EXPECT_EQ(::GetPixel(screen, 300, 100), COLORREF(0x3366AA));
    ::ReleaseDC(nullptr, screen);

    // The rescan command keeps the listed folder.
    fs::create_directories(device.Host("My Documents/Pad/Work/New"));
    ::SendMessageW(*main, WM_COMMAND, ID_RESCAN, 0);
    EXPECT_EQ(std::u16string(bar->GetFolderPath()), u"\\My Documents\\Pad\\Work");
    EXPECT_EQ(bar->GetTabCount(), 2) << "Work's own tab and New";
    ::DestroyWindow(*main);
    EXPECT_EQ(bar->GetSafeHwnd(), nullptr);
}

} // namespace
