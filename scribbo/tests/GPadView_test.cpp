// The pad view on the headless screen: zoom limits, every buffered stylus sample becoming ink,
// pen presets, pages, the empty-memo rule, Enter, new-memo names, and failed loads (the
// autosave tests run with the other threaded ones).
#include "pad_view_test_support.h"

namespace {

TEST_F(PadView, ZoomStepsStopAtTheLimits) {
    struct Case {
        int start, command, expected;
    } cases[] = {
        {290, ID_PAD_ZOOMIN, 300}, {300, ID_PAD_ZOOMIN, 300},  {40, ID_PAD_ZOOMOUT, 25},
        {25, ID_PAD_ZOOMOUT, 25},  {150, ID_PAD_ZOOM100, 100},
    };
    NewMemo();
    for (const Case& c : cases) {
        view->ZoomTo(c.start);
        ASSERT_EQ(view->GetZoom(), c.start);
        Command(c.command);
        EXPECT_EQ(view->GetZoom(), c.expected) << c.start << " " << c.command;
        EXPECT_EQ(view->GetMemo()->GetZoom(), c.expected);
    }
}

TEST_F(PadView, FitWidthAndHeightFillTheInkArea) {
    NewMemo();
    const TemplateHeader* paper = view->GetMemo()->GetTemplate();
    const RECT ink = view->GetInkRect();
    Command(ID_PAD_FITWIDTH);
    EXPECT_NEAR(view->GetZoom(), (ink.right - ink.left) * 100.0 / paper->PageWidth, 1.0);
    Command(ID_PAD_FITHEIGHT);
    EXPECT_NEAR(view->GetZoom(), (ink.bottom - ink.top) * 100.0 / paper->PageHeight, 1.0);
}

TEST_F(PadView, EveryBufferedSampleOfAFastStrokeBecomesInk) {
    NewMemo();
    // A zigzag whose corners arrive in one move message: drawn straight from first to last
    // sample, the corner at (60, 110) would stay white.
    plat::InputStylusDown(20, 40);
    Pump();
    for (POINT p : {POINT{60, 110}, POINT{100, 40}, POINT{140, 110}})
        plat::InputStylusMove(p.x, p.y);
    Pump();
    plat::InputStylusUp(140, 110);
    Pump();
    ASSERT_EQ(view->GetMemo()->GetCurPage()->GetTotalGDObjectNum(), 1);
    // Smoothing rounds the corner, but the ink still reaches far below the straight line.
    bool corner = false;
    for (int x = 50; x <= 90 && !corner; ++x)
        for (int y = 85; y <= 112 && !corner; ++y)
            corner = Dark(ScreenPixel(x, y));
    EXPECT_TRUE(corner) << "the middle samples were dropped";
    EXPECT_TRUE(view->IsChanged());
}

TEST_F(PadView, PencilPresetLeavesTheMarkerAlone) {
    NewMemo();
    GToolBarEx* bar = view->GetPenBar();
    GToolButton* pens = bar->FindItem(nullptr, ID_PAD_PENS);
    ASSERT_NE(pens, nullptr);
    GToolButton* marker = bar->FindItem(pens->GetPosition(), ID_PAD_MARKER);
    GToolButton* pencil = bar->FindItem(pens->GetPosition(), ID_PAD_PENCIL);
    ASSERT_TRUE(marker && pencil);
    bar->SetSelectedItem(marker, 0);
    Command(ID_PAD_MARKER);
    const COLORREF markerColour = view->GetMemo()->GetMarkerColor();
    const LONG markerWidth = view->GetMemo()->GetMarkerWidth();
    EXPECT_EQ(markerColour, marker->GetColor());
    EXPECT_EQ(view->GetMemo()->GetMaxAlpha(), 96);
    bar->SetSelectedItem(pencil, 0);
    Command(ID_PAD_PENCIL);
    EXPECT_EQ(view->GetMemo()->GetDOStrokeType(), eDOPencel);
    EXPECT_EQ(view->GetMemo()->GetPencelColor(), COLORREF(0x333333));
    EXPECT_EQ(view->GetMemo()->GetMaxAlpha(), 153);
    EXPECT_EQ(view->GetMemo()->GetMarkerColor(), markerColour);
    EXPECT_EQ(view->GetMemo()->GetMarkerWidth(), markerWidth);
    EXPECT_EQ(g_Settings.MarkerColor, markerColour);
    EXPECT_EQ(g_Settings.PencelColor, COLORREF(0x333333));
}

TEST_F(PadView, EachPresetTappedWritesItsToolColourAndWidth) {
    const std::u16string path = NewMemo();
    GToolBarEx* bar = view->GetPenBar();
    // The group's own item opens the presets, the corner button goes back and opens them too.
    TapItem(bar, bar->FindItem(nullptr, ID_PAD_PENS));
    ASSERT_NE(bar->GetShownLevel(), nullptr) << "the pens item opens the presets";
    TapItem(bar, bar->GetCornerButton());
    ASSERT_EQ(bar->GetShownLevel(), nullptr) << "the corner button goes back";
    TapItem(bar, bar->GetCornerButton());
    POSITION level = bar->GetShownLevel();
    ASSERT_NE(level, nullptr) << "the corner button opens the presets";
    struct Drawn {
        int kind;
        COLORREF colour;
        LONG width;
    };
    std::vector<Drawn> drawn;
    int y = 60;
    for (int id : {ID_PAD_PEN, ID_PAD_PENCIL, ID_PAD_MARKER}) {
        const GToolButton* item = bar->FindItem(level, id);
        ASSERT_NE(item, nullptr);
        TapItem(bar, item);
        EXPECT_EQ(bar->GetSelectedItem(), item);
        Stroke({{30, y}, {100, y + 4}, {180, y + 2}});
        drawn.push_back({item->GetPenKind(), item->GetColor(), item->GetPenWidth()});
        y += 30;
    }
    Command(ID_PAD_PAGEINSERT);
    TapItem(bar, bar->FindItem(level, ID_PAD_PEN));
    Stroke({{30, 60}, {180, 70}});
    Command(ID_PAD_CLOSE);

    GPadDrawMan memo;
    HDC dc = ::CreateCompatibleDC(nullptr);
    memo.InitBuffer(dc, 16, 16);
    ::DeleteDC(dc);
    GIOFile file;
    ASSERT_TRUE(file.Open(path.c_str(), u"rb") && memo.Load(&file));
    ASSERT_EQ(memo.GetPageNum(), 2);
    ASSERT_EQ(memo.GetPage(0)->GetTotalGDObjectNum(), int(drawn.size()));
    for (size_t i = 0; i < drawn.size(); ++i) {
        const GDObject* o = memo.GetPage(0)->GetGDObject(int(i));
        EXPECT_EQ(o->strokeType, drawn[i].kind) << i;
        EXPECT_EQ(o->GetColor(), drawn[i].colour) << i;
        EXPECT_EQ(o->width, drawn[i].width) << i;
    }
    EXPECT_EQ(memo.GetPage(1)->GetTotalGDObjectNum(), 1);
}

TEST_F(PadView, AStrokeAlongThePresetsPreviewsThePenOnTheBar) {
    NewMemo();
    GToolBarEx* bar = view->GetPenBar();
    TapItem(bar, bar->GetCornerButton());
    ASSERT_NE(bar->GetShownLevel(), nullptr);
    RECT r{};
    ::GetWindowRect(*bar, &r);
    const int y = (r.top + r.bottom) / 2;
    const COLORREF face = ScreenPixel(r.left + 110, r.top + 1);
    plat::InputStylusDown(r.left + 40, y);
    Pump();
    for (int x = 60; x <= 180; x += 20) {
        plat::InputStylusMove(r.left + x, y);
        Pump();
    }
    EXPECT_EQ(bar->GetGesture(), eTBGesturePreview);
    bool ink = false;
    for (int dy = -3; dy <= 3 && !ink; ++dy)
        ink = Dark(ScreenPixel(r.left + 110, y + dy));
    EXPECT_TRUE(ink) << "the pen's stroke shows over the bar";
    plat::InputStylusUp(r.left + 180, y);
    Pump();
    Run(kToolBarPreviewMs + 10);
    EXPECT_EQ(bar->GetShownLevel(), nullptr);
    EXPECT_EQ(ScreenPixel(r.left + 110, r.top + 1), face);
    EXPECT_EQ(view->GetMemo()->GetCurPage()->GetTotalGDObjectNum(), 0) << "the memo got nothing";
}

TEST_F(PadView, ArrowsAndTheWheelScrollAndAHeldArrowTurnsThePage) {
    NewMemo();
    Command(ID_PAD_PAGEINSERT);
    Command(ID_PAD_PAGEPREV);
    const RECT ink = view->GetInkRect();
    const int halfW = (ink.right - ink.left) / 2, halfH = (ink.bottom - ink.top) / 2;
    // Down and up wait together: the view's hold on the key ends at the release.
    auto key = [&](int vk) {
        plat::InputKey(vk, true);
        plat::InputKey(vk, false);
        Pump();
    };
    key(VK_RIGHT);
    key(VK_DOWN);
    EXPECT_EQ(view->GetScrollPos().x, halfW);
    EXPECT_EQ(view->GetScrollPos().y, halfH);
    key(VK_LEFT);
    EXPECT_EQ(view->GetScrollPos().x, 0);
    // The wheel turned towards the user moves further down the page.
    plat::InputWheel(-WHEEL_DELTA, 100, 100);
    Pump();
    EXPECT_EQ(view->GetScrollPos().y, halfH + WHEEL_DELTA);

    // Held, the arrow turns the page; its release scrolls nothing.
    Script("wait 5000\n");
    plat::InputKey(VK_RIGHT, true);
    Pump();
    plat::InputKey(VK_RIGHT, false);
    Pump();
    EXPECT_EQ(view->GetMemo()->GetCurPageIndex(), 1);
    EXPECT_EQ(view->GetScrollPos().x, 0);
}

TEST_F(PadView, AnEmptyMemoLeavesNoFileAndTheListDropsIt) {
    ListenAsTitleView();
    const std::u16string path = NewMemo();
    Command(ID_PAD_CLOSE);
    EXPECT_FALSE(view->HasMemo());
    EXPECT_FALSE(::IsWindowVisible(*view));
    EXPECT_FALSE(apptest::HostExists(Host(path)));
    ASSERT_EQ(notices.got.size(), 1u);
    EXPECT_EQ(notices.got[0].first, UM_MEMOEMPTY);
    EXPECT_EQ(notices.got[0].second, path);
}

TEST_F(PadView, EnterSavesAndCloses) {
    ListenAsTitleView();
    const std::u16string path = NewMemo();
    Stroke({{30, 50}, {90, 60}, {150, 70}});
    ::SetFocus(*view);
    Pump();
    plat::InputKey(VK_RETURN, true);
    Pump();
    plat::InputKey(VK_RETURN, false);
    Pump();
    EXPECT_FALSE(::IsWindowVisible(*view));
    EXPECT_EQ(ObjectsIn(path), 1);
    ASSERT_EQ(notices.got.size(), 1u);
    EXPECT_EQ(notices.got[0].first, UM_MEMOSAVED);
}

TEST_F(PadView, ReopenedMemoShowsItsPagesAndInk) {
    const std::u16string path = NewMemo();
    Stroke({{30, 50}, {150, 70}});
    Command(ID_PAD_PAGEINSERT);
    EXPECT_EQ(view->GetMemo()->GetPageNum(), 2);
    EXPECT_EQ(view->GetMemo()->GetCurPageIndex(), 1);
    Stroke({{40, 100}, {140, 120}});
    Stroke({{40, 140}, {140, 160}});
    Command(ID_PAD_PAGEPREV);
    EXPECT_EQ(view->GetMemo()->GetCurPageIndex(), 0);
    Command(ID_PAD_CLOSE);
    ASSERT_TRUE(view->OpenMemo(path.c_str()));
    EXPECT_EQ(view->GetMemo()->GetPageNum(), 2);
    EXPECT_EQ(view->GetMemo()->GetPage(0)->GetTotalGDObjectNum(), 1);
    EXPECT_EQ(view->GetMemo()->GetPage(1)->GetTotalGDObjectNum(), 2);
    EXPECT_EQ(view->GetZoom(), 100);
    // The last page cannot go, and the page list does not run past its ends.
    Command(ID_PAD_PAGEDELETE);
    Command(ID_PAD_PAGEDELETE);
    EXPECT_EQ(view->GetMemo()->GetPageNum(), 1);
    Command(ID_PAD_PAGENEXT);
    EXPECT_EQ(view->GetMemo()->GetCurPageIndex(), 0);
}

TEST_F(PadView, ANewMemoNeverTakesAnExistingName) {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    WCHAR taken[MAX_PATH];
    ASSERT_TRUE(FormatMemoPath(taken, g_Settings.DefNewMemoFolder, now));
    const apptest::Bytes old = apptest::Pattern(64, 7);
    apptest::WriteHost(Host(taken), old);
    const std::u16string path = NewMemo();
    EXPECT_NE(path, std::u16string(taken));
    Stroke({{30, 50}, {150, 70}});
    Command(ID_PAD_CLOSE);
    EXPECT_EQ(apptest::ReadHost(Host(taken)), old);
    EXPECT_EQ(ObjectsIn(path), 1);
}

TEST_F(PadView, AFailedSaveIsToldAndKeepsTheMemoOpen) {
    const std::u16string path = NewMemo();
    Stroke({{30, 50}, {90, 60}, {150, 70}});
    // The box that tells of it is answered by the script while it waits.
    const std::string script = device.Root() + "/answer.txt";
    std::ofstream(script) << "wait 100\nkey RETURN\n";
    std::string error;
    ASSERT_TRUE(plat::LoadInputScript(script, &error)) << error;
    {
        apptest::FileSizeLimit limit(64);
        ASSERT_TRUE(limit.Ok());
        Command(ID_PAD_CLOSE);
    }
    plat::UnloadInputScript();
    EXPECT_TRUE(view->HasMemo());
    EXPECT_TRUE(::IsWindowVisible(*view));
    EXPECT_FALSE(apptest::HostExists(Host(path)));
    // Once the disk takes it again, closing saves it.
    Command(ID_PAD_CLOSE);
    EXPECT_FALSE(view->HasMemo());
    EXPECT_EQ(ObjectsIn(path), 1);
}

TEST_F(PadView, AMemoThatCannotBeReadLeavesTheViewClosed) {
    const std::string bad = device.Host("My Documents/Pad/20200101_000000.pad");
    apptest::WriteHost(bad, apptest::Pattern(100, 3));
    EXPECT_FALSE(view->OpenMemo(u"\\My Documents\\Pad\\20200101_000000.pad"));
    EXPECT_FALSE(view->HasMemo());
    EXPECT_FALSE(::IsWindowVisible(*view));
    EXPECT_EQ(apptest::ReadHost(bad), apptest::Pattern(100, 3));
}

} // namespace

TEST_F(PadView, LauncherTabsFadeTheBarsInAndOutAndCountThePages) {
    NewMemo();
    GToolBarLauncher* tab = view->GetToolTab();
    ASSERT_TRUE(Visible(*tab));
    EXPECT_EQ(std::pair(tab->GetCurPage(), tab->GetPageCount()), std::pair(1, 1));
    Command(ID_PAD_PAGEINSERT);
    EXPECT_EQ(std::pair(tab->GetCurPage(), tab->GetPageCount()), std::pair(2, 2));
    Command(ID_PAD_PAGEPREV);
    EXPECT_EQ(std::pair(tab->GetCurPage(), tab->GetPageCount()), std::pair(1, 2));

    // A tap fades the tool bar in; unused, it fades out again after two seconds.
    TapTab(*tab);
    Run(300);
    EXPECT_TRUE(Visible(*view->GetTopBar()));
    EXPECT_EQ(tab->GetLevel(), 255);
    Run(int(GPadView::kLauncherHideMs) + 300);
    EXPECT_FALSE(Visible(*view->GetTopBar()));

    // The pen on the page sends the scroll bars away at once.
    TapTab(*view->GetScrollTab());
    Run(300);
    EXPECT_TRUE(Visible(*view->GetVScrollBar()));
    Stroke({{30, 60}, {90, 70}});
    EXPECT_FALSE(Visible(*view->GetVScrollBar()));
    EXPECT_FALSE(Visible(*view->GetHScrollBar()));
}

TEST_F(PadView, TheScrollBarsEndBeforeTheirTabInTheCorner) {
    // Under the tab, a bar's far arrow could not be reached.
    struct Case {
        int lock, command;
        bool vertical;
    } cases[] = {
        {0, ID_PAD_ZOOM100, true}, {1, ID_PAD_ZOOM100, true}, {1, ID_PAD_FITHEIGHT, false}};
    NewMemo();
    for (const Case& c : cases) {
        g_Settings.LockScrollbar = c.lock;
        view->GetScrollTab()->ShowControlled(0, SW_SHOW);
        Command(c.command);
        // Laid out again as after a lock toggle, with the bars that are now shown.
        ::SendMessageW(*view, UM_SCROLLLAUNCHER, 0, 2);
        ASSERT_TRUE(Visible(*view->GetHScrollBar())) << c.lock;
        ASSERT_EQ(Visible(*view->GetVScrollBar()), c.vertical) << c.lock;
        RECT tab{}, bar{}, overlap{};
        ::GetWindowRect(*view->GetScrollTab(), &tab);
        for (HWND hwnd : {HWND(*view->GetHScrollBar()), HWND(*view->GetVScrollBar())}) {
            if (!Visible(hwnd))
                continue;
            ::GetWindowRect(hwnd, &bar);
            EXPECT_FALSE(::IntersectRect(&overlap, &bar, &tab)) << c.lock << " " << c.command;
        }
    }
}

TEST_F(PadView, HoldingTheToolTabLocksTheBarAndKeepsTheMemoOpen) {
    // Locking moves the ink, and the tab with it, under the resting pen: no drag to close.
    NewMemo();
    Stroke({{30, 60}, {90, 70}});
    for (DWORD locked : {1u, 0u}) {
        const POINT at = ScreenCentre(*view->GetToolTab());
        Script("wait 1500\n");
        plat::InputStylusDown(at.x, at.y);
        Pump();
        plat::InputStylusUp(at.x, at.y);
        Pump();
        EXPECT_EQ(g_Settings.LockToolbar, locked);
        EXPECT_TRUE(view->HasMemo()) << locked;
        EXPECT_TRUE(Visible(*view));
    }
    EXPECT_TRUE(Visible(*view->GetTopBar())) << "unlocking hides nothing by itself";
}

TEST_F(PadView, ADragFromTheToolTabSavesAndClosesTheMemo) {
    ListenAsTitleView();
    const std::u16string path = NewMemo();
    Stroke({{30, 60}, {90, 70}, {150, 80}});
    const POINT at = ScreenCentre(*view->GetToolTab());
    // The first move ends the hold; the pen then drags 60 pixels left and lifts.
    Script("move " + std::to_string(at.x - 5) + " " + std::to_string(at.y) + " 1\n");
    plat::InputStylusDown(at.x, at.y);
    Pump();
    plat::InputStylusMove(at.x - 60, at.y);
    Pump();
    plat::InputStylusUp(at.x - 60, at.y);
    Pump();
    EXPECT_FALSE(view->HasMemo());
    EXPECT_FALSE(Visible(*view));
    EXPECT_EQ(ObjectsIn(path), 1);
    ASSERT_EQ(notices.got.size(), 1u);
    EXPECT_EQ(notices.got[0].first, UM_MEMOSAVED);
}

TEST_F(PadView, TheMagnifyStripWritesIntoThePageAtNormalSize) {
    const std::u16string path = NewMemo();
    Command(ID_PAD_MAGNIFY);
    GMagnifyPad* strip = view->GetMagnifyPad();
    ASSERT_TRUE(Visible(*strip));
    GPadDrawMan* memo = view->GetMemo();
    EXPECT_EQ(strip->GetPage(), memo->GetCurPage());
    EXPECT_EQ(strip->GetZoom(), GMagnifyPad::ZoomForStrip(int(g_Settings.MagPadHieght),
                                                          memo->GetTemplate()->LineSpace));
    const RECT frame = view->GetMagnifierFrame();
    const RECT ink = view->GetInkRect();
    ASSERT_GT(frame.right, frame.left);
    EXPECT_TRUE(frame.top >= ink.top && frame.bottom <= ink.bottom);

    // Large in the strip, small on the page, there as soon as the pen lifts.
    RECT r{};
    ::GetWindowRect(*strip, &r);
    const int w = strip->GetWritingWidth();
    const int mid = (r.top + r.bottom) / 2;
    Stroke({{r.left + w / 10, mid - 15}, {r.left + w / 4, mid + 15}, {r.left + w / 2, mid - 10}});
    EXPECT_EQ(memo->GetCurPage()->GetTotalGDObjectNum(), 1);
    bool dark = false;
    for (int y = frame.top; y < frame.bottom && !dark; ++y)
        for (int x = frame.left + 2; x < frame.right - 2 && !dark; ++x)
            dark = Dark(ScreenPixel(x, y));
    EXPECT_TRUE(dark) << "the stroke is not on the page";
    EXPECT_TRUE(view->IsChanged());
    Run(int(GPadView::kAutoSaveMs) + 100);
    view->GetAutoSave()->Wait();
    EXPECT_EQ(ObjectsIn(path), 1);

    // The strip follows the page shown and its buttons change its height.
    Command(ID_PAD_PAGEINSERT);
    EXPECT_EQ(strip->GetPage(), memo->GetCurPage());
    const DWORD before = g_Settings.MagPadHieght;
    ::SendMessageW(*view, UM_MAGNIFYTALLER, 0, 0);
    EXPECT_EQ(g_Settings.MagPadHieght, before + 10);
    ::GetWindowRect(*strip, &r);
    EXPECT_EQ(r.bottom - r.top, LONG(before + 10));
    Command(ID_PAD_CLOSE);
    EXPECT_EQ(strip->GetPage(), nullptr);
    EXPECT_EQ(ObjectsIn(path), 1);
}
