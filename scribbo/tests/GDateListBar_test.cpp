// The date list bar: its index of memos by day, the selected date and its week, the pen on the
// arrows, the days and the date button, the drop-down calendar's messages, the layout on both
// screens and what the bar shows.
#include "scribbo/App.h"
#include "scribbo/GFolderItem.h"
#include "scribbo/GDateListBar.h"
#include "scribbo/LanguageText.h"
#include "scribbo/Settings.h"

#include "app_bar_test_support.h"
#include "winza/GFontManager.h"
#include "winza/GLib.h"
#include "winza/GTime.h"
#include "winza/GTreeCtrl.h"

#include <TestDevice.h>
#include <platform/clock.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

double Day(int y, int m, int d) {
    return double(GTime(y, m, d));
}

std::string ShotPath(const std::string& name) {
    const std::string dir = SCRIBBO_TEST_OUTPUT;
    std::filesystem::create_directories(dir);
    return dir + "/" + name + ".png";
}

class DateBar : public AppBarTest {
protected:
    void SetUp() override {
        AppBarTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(LoadTexts(device));
        std::filesystem::create_directories(device.Host("My Documents/Pad"));
        // Wednesday 15 March 2023, 09:30.
        SYSTEMTIME now{2023, 3, 3, 15, 9, 30, 0, 0};
        ASSERT_TRUE(plat::SetVirtualLocalTime(now));
    }
    // The owner (which counts the bar's notices) and the bar across the screen's top.
    void Make(double date, int barHeight = 23) {
        ASSERT_NO_FATAL_FAILURE(MakeOwner(owner));
        ASSERT_TRUE(bar.CreateBar(owner, &owner, RECT{0, 0, plat::ScreenSize().cx, barHeight},
                                  eGBarHorizontal));
        bar.SetDate(date);
        Pump();
        owner.messages.clear();
    }
    int Notices() const { return owner.Count(UM_DATELISTCHANGED); }
    // A memo file of the device; its device path.
    std::u16string Memo(const std::string& name) {
        std::ofstream(device.Host("My Documents/Pad/" + name)) << "memo";
        std::u16string path = u"\\My Documents\\Pad\\";
        for (char c : name)
            path += char16_t(c);
        return path;
    }
    std::vector<double> Times(double day) const {
        std::vector<double> out;
        const DayBucket* bucket = bar.FindDay(LONG(day));
        if (!bucket)
            return out;
        for (POSITION p = bucket->entries.GetHeadPosition(); p;)
            out.push_back(static_cast<DateEntry*>(bucket->entries.GetNext(p))->time);
        return out;
    }
    void Press(POINT pt, const std::string& script) {
        Script(script + "wait 60000\n");
        plat::InputStylusDown(pt.x, pt.y);
        Pump();
        plat::UnloadInputScript();
    }
    void Tap(POINT pt) {
        plat::InputStylusDown(pt.x, pt.y);
        Pump();
        plat::InputStylusUp(pt.x, pt.y);
        Pump();
    }
    static POINT Centre(RECT r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
    POINT CellCentre(int weekday) const {
        const RECT c = bar.GetCellsRect();
        return POINT{c.left + weekday * bar.GetCellWidth() + bar.GetCellWidth() / 2,
                     (c.top + c.bottom) / 2};
    }
    // Pixels of a cell darker than mid grey in every channel but blue or red: its label's ink.
    static int Ink(RECT r) {
        int n = 0;
        for (COLORREF c : Grab(r))
            n += GetRValue(c) < 160 || GetGValue(c) < 160 || GetBValue(c) < 160;
        return n;
    }
    RECT CellRect(int weekday) const {
        const RECT c = bar.GetCellsRect();
        const int w = bar.GetCellWidth();
        return RECT{c.left + weekday * w, c.top, c.left + (weekday + 1) * w, c.bottom};
    }

    TestDevice device;
    LoggingWinza owner;
    GDateListBar bar;
};

TEST_F(DateBar, SameDayMemosFollowTheInsertionOrder) {
    const double day = Day(2023, 3, 15);
    struct Case {
        int order;
        std::vector<double> inserted, listed;
    } cases[] = {
        {eDateAscending, {0.5, 0.25, 0.75}, {0.25, 0.5, 0.75}},
        {eDateAscending, {0.75, 0.5, 0.25}, {0.25, 0.5, 0.75}},
        {eDateDescending, {0.25, 0.75, 0.5}, {0.75, 0.5, 0.25}},
        {eDateAppend, {0.5, 0.25, 0.75}, {0.5, 0.25, 0.75}},
    };
    const std::u16string path = Memo("20230315_120000.pad");
    for (const Case& c : cases) {
        bar.ClearDateEntries();
        // Other days around it keep their own buckets, in day order.
        ASSERT_EQ(bar.AddDateEntry(path.c_str(), day + 1.5, c.order), 1);
        for (double t : c.inserted)
            ASSERT_EQ(bar.AddDateEntry(path.c_str(), day + t, c.order), 1);
        ASSERT_EQ(bar.AddDateEntry(path.c_str(), day - 3 + 0.1, c.order), 1);
        std::vector<double> expected;
        for (double t : c.listed)
            expected.push_back(day + t);
        EXPECT_EQ(Times(day), expected) << c.order;
        EXPECT_EQ(bar.GetDayCount(), 3);
        EXPECT_TRUE(bar.HasMemos(LONG(day - 3)) && bar.HasMemos(LONG(day + 1)));
    }
}

// The store's folder tree makes folder items; so does this one.
class FolderTree : public GTreeCtrl {
public:
    GItem* CreateItem(LPCWSTR label) override { return new GFolderItem(label); }
};

TEST_F(DateBar, TheStoresScanFillsTheIndexInAscendingTime) {
    for (const char* name :
         {"20230315_180000.pad", "20230315_070000.pad", "20230313_120000.pad", "notes.txt"})
        Memo(name);
    ASSERT_EQ(bar.AddMemo(u"\\My Documents\\Pad\\20230313_120000.pad", Day(2020, 1, 1)), 1);
    FolderTree tree;
    ASSERT_NE(ScanMemoStore(&tree, &bar, u"\\My Documents\\Pad", nullptr), nullptr);
    // A rescan starts from an empty index.
    EXPECT_FALSE(bar.HasMemos(LONG(Day(2020, 1, 1))));
    EXPECT_EQ(bar.GetDayCount(), 2);
    const double day = Day(2023, 3, 15);
    EXPECT_EQ(Times(day), (std::vector<double>{day + 7.0 / 24, day + 18.0 / 24}));
    MemoIndex* index = &bar;
    EXPECT_EQ(
        index->RemoveMemo(u"\\My Documents\\Pad\\20230313_120000.pad", Day(2023, 3, 13) + 0.5), 1);
    EXPECT_FALSE(bar.HasMemos(LONG(Day(2023, 3, 13))));
}

TEST_F(DateBar, OnlyExistingFilesAreIndexed) {
    const std::u16string file = Memo("20230315_120000.pad");
    struct Case {
        const WCHAR* path;
        int added;
    } cases[] = {
        {file.c_str(), 1},
        {u"\\My Documents\\Pad\\20230316_120000.pad", 0},
        {u"\\My Documents\\Pad", 0},
        {u"", 0},
        {nullptr, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(bar.AddDateEntry(c.path, Day(2023, 3, 16), eDateAscending), c.added);
    EXPECT_EQ(bar.GetDayCount(), 1);
}

TEST_F(DateBar, RemovingADaysLastMemoRemovesTheDay) {
    const double day = Day(2023, 3, 14);
    const std::u16string a = Memo("a.pad");
    const std::u16string b = Memo("b.pad");
    ASSERT_EQ(bar.AddDateEntry(a.c_str(), day + 0.1, eDateAscending), 1);
    ASSERT_EQ(bar.AddDateEntry(b.c_str(), day + 0.2, eDateAscending), 1);
    // The path must match exactly, on that day.
    EXPECT_EQ(bar.RemoveDateEntry(u"\\My Documents\\Pad\\A.PAD", day + 0.1), 0);
    EXPECT_EQ(bar.RemoveDateEntry(a.c_str(), day + 1.1), 0);
    EXPECT_EQ(bar.RemoveDateEntry(a.c_str(), day + 0.9), 1);
    EXPECT_TRUE(bar.HasMemos(LONG(day)));
    EXPECT_EQ(bar.RemoveDateEntry(b.c_str(), day + 0.2), 1);
    EXPECT_FALSE(bar.HasMemos(LONG(day)));
    EXPECT_EQ(bar.GetDayCount(), 0);
}

TEST_F(DateBar, SelectingADateNotifiesOnlyWhenTheDayChanges) {
    Make(Day(2023, 3, 15));
    bar.SetDate(Day(2023, 3, 15) + 0.75);
    EXPECT_EQ(Notices(), 0);
    bar.SetDate(Day(2022, 12, 31));
    EXPECT_EQ(Notices(), 1);
    EXPECT_EQ(std::u16string(bar.GetDateText()), u"2022년 12월 31일");
    EXPECT_EQ(bar.GetWeekday(), 7);
    struct Case {
        double date;
        COLORREF colour;
    } cases[] = {{Day(2023, 3, 12), 0xC0C0FF}, {Day(2023, 3, 18), 0xFFC0C0}};
    g_Settings.WeekdayColor[3] = 0x123456;
    for (const Case& c : cases) {
        bar.SetDate(c.date);
        EXPECT_EQ(bar.GetWeekdayColor(), c.colour);
    }
    bar.SetDate(Day(2023, 3, 15));
    EXPECT_EQ(bar.GetWeekdayColor(), COLORREF(0x123456));
    // A bar that never had a date gives Monday's colour.
    GDateListBar fresh;
    EXPECT_EQ(fresh.GetWeekday(), -1);
    EXPECT_EQ(fresh.GetWeekdayColor(), g_Settings.WeekdayColor[1]);
}

TEST_F(DateBar, WeekArrowsMoveSevenDaysAcrossTheYear) {
    Make(Day(2022, 12, 31));
    Tap(Centre(bar.GetNextRect()));
    EXPECT_EQ(bar.GetDate(), Day(2023, 1, 7));
    EXPECT_EQ(bar.GetWeekday(), 7);
    Tap(Centre(bar.GetPrevRect()));
    Tap(Centre(bar.GetPrevRect()));
    EXPECT_EQ(bar.GetDate(), Day(2022, 12, 24));
    EXPECT_EQ(Notices(), 3);
    // Lifted outside the arrow: nothing moves.
    plat::InputStylusDown(Centre(bar.GetNextRect()).x, 5);
    Pump();
    plat::InputStylusUp(Centre(bar.GetDateRect()).x, 5);
    Pump();
    EXPECT_EQ(bar.GetDate(), Day(2022, 12, 24));
}

TEST_F(DateBar, TappedDaySelectsThatWeekdayAndAHoldSelectsToday) {
    Make(Day(2023, 1, 4)); // a Wednesday, ten weeks before today
    Press(CellCentre(1), "wait 100\nup " + std::to_string(CellCentre(1).x) + " 5\n");
    EXPECT_EQ(bar.GetDate(), Day(2023, 1, 2));
    EXPECT_EQ(Notices(), 1);
    // The selected day again: silent.
    Press(CellCentre(1), "wait 100\nup " + std::to_string(CellCentre(1).x) + " 5\n");
    EXPECT_EQ(Notices(), 1);
    // Held over Saturday: today, Wednesday 15 March.
    Press(CellCentre(6), "wait 700\n");
    EXPECT_EQ(bar.GetDate(), Day(2023, 3, 15));
    EXPECT_EQ(Notices(), 2);
}

TEST_F(DateBar, CalendarOpensUnderTheDateButtonAndReportsBack) {
    const std::u16string memo = Memo("20230301_080000.pad");
    ASSERT_EQ(bar.AddDateEntry(memo.c_str(), Day(2023, 3, 1) + 0.3, eDateAscending), 1);
    ASSERT_EQ(bar.AddDateEntry(memo.c_str(), Day(2023, 4, 20), eDateAscending), 1);
    Make(Day(2023, 3, 15));
    Tap(Centre(bar.GetDateRect()));
    ASSERT_TRUE(bar.IsCalendarShown());
    EXPECT_TRUE(bar.IsDatePressed());
    GDateSelCtrl* cal = bar.GetCalendar();
    ASSERT_TRUE(::IsWindowVisible(*cal));
    EXPECT_EQ(::GetFocus(), cal->GetSafeHwnd());
    RECT rc{};
    ::GetWindowRect(*cal, &rc);
    EXPECT_EQ(rc.top, 22);
    EXPECT_NEAR((rc.left + rc.right) / 2, Centre(bar.GetDateRect()).x, 1);
    // March 2023 starts on Sunday 26 February: 1 March is cell 3.
    EXPECT_EQ(cal->GetFirstDate(), Day(2023, 2, 26));
    EXPECT_EQ(cal->GetBoldDay(3), 1);
    EXPECT_EQ(cal->GetBoldDay(4), 0);

    // Another month: the marks follow the index.
    cal->Next();
    EXPECT_EQ(cal->GetBoldDay(int(Day(2023, 4, 20) - cal->GetFirstDate())), 1);
    EXPECT_EQ(cal->GetBoldDay(3), 0);

    // A chosen day closes it and becomes the date.
    ::SendMessageW(bar, kDateSelChosen, WPARAM(cal->GetSafeHwnd()), LPARAM(Day(2023, 4, 20)));
    EXPECT_FALSE(bar.IsCalendarShown());
    EXPECT_FALSE(::IsWindowVisible(*cal));
    EXPECT_EQ(bar.GetDate(), Day(2023, 4, 20));
    EXPECT_EQ(Notices(), 1);
    EXPECT_EQ(::GetFocus(), owner.GetSafeHwnd());
}

TEST_F(DateBar, LostFocusHidesTheCalendarAfterItsTimer) {
    Make(Day(2023, 3, 15));
    Tap(Centre(bar.GetDateRect()));
    ASSERT_TRUE(bar.IsCalendarShown());
    ::SendMessageW(bar, kDateSelLostFocus, 0, 0);
    clock.Advance(GDateListBar::kHideMs - 1);
    Pump();
    EXPECT_TRUE(bar.IsCalendarShown());
    clock.Advance(1);
    Pump();
    EXPECT_FALSE(bar.IsCalendarShown());
    EXPECT_FALSE(::IsWindowVisible(*bar.GetCalendar()));

    // A tap on the date button that took the focus closes it, and the timer does not reopen
    // or re-close anything afterwards.
    Tap(Centre(bar.GetDateRect()));
    ASSERT_TRUE(bar.IsCalendarShown());
    ::SendMessageW(bar, kDateSelLostFocus, 0, 0);
    Tap(Centre(bar.GetDateRect()));
    EXPECT_FALSE(bar.IsCalendarShown());
    EXPECT_FALSE(bar.IsDatePressed());
    clock.Advance(500);
    Pump();
    EXPECT_FALSE(bar.IsCalendarShown());
    // A press elsewhere closes it too, without choosing a day.
    Tap(Centre(bar.GetDateRect()));
    ASSERT_TRUE(bar.IsCalendarShown());
    Tap(Centre(bar.GetNextRect()));
    EXPECT_FALSE(bar.IsCalendarShown());
    EXPECT_EQ(bar.GetDate(), Day(2023, 3, 22));
}

TEST_F(DateBar, LayoutOnBothScreens) {
    struct Case {
        int w, h, barH;
        RECT prev, next, date, cells;
        int cell;
    } cases[] = {
        {240, 320, 23, {1, 1, 14, 22}, {227, 1, 240, 22}, {16, 1, 114, 22}, {115, 1, 227, 22}, 16},
        {480, 640, 46, {2, 2, 28, 44}, {454, 2, 480, 44}, {32, 2, 228, 44}, {230, 2, 454, 44}, 32},
        // Wider: the seven cells share the room and end at the next-week box.
        {320, 240, 23, {1, 1, 14, 22}, {307, 1, 320, 22}, {16, 1, 114, 22}, {118, 1, 307, 22}, 27},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.w);
        if (owner.GetSafeHwnd())
            ::DestroyWindow(owner);
        Pump();
        Screen(c.w, c.h);
        Make(Day(2023, 3, 15), c.barH);
        auto eq = [](RECT a, RECT b) { return ::EqualRect(&a, &b); };
        EXPECT_TRUE(eq(bar.GetPrevRect(), c.prev));
        EXPECT_TRUE(eq(bar.GetNextRect(), c.next));
        EXPECT_TRUE(eq(bar.GetDateRect(), c.date));
        EXPECT_TRUE(eq(bar.GetCellsRect(), c.cells));
        EXPECT_EQ(bar.GetCellWidth(), c.cell);
    }
}

class DateBarPicture : public DateBar, public ::testing::WithParamInterface<SIZE> {};

TEST_P(DateBarPicture, ShowsTheWeekWithBoldDaysAndTheCalendar) {
    const SIZE size = GetParam();
    const int hires = size.cx > 320;
    const int b = hires ? 2 : 1;
    Screen(size.cx, size.cy);
    const std::u16string memo = Memo("20230313_080000.pad");
    ASSERT_EQ(bar.AddDateEntry(memo.c_str(), Day(2023, 3, 13) + 0.3, eDateAscending), 1);
    ASSERT_EQ(bar.AddDateEntry(memo.c_str(), Day(2023, 3, 16) + 0.5, eDateAscending), 1);
    Make(Day(2023, 3, 15), hires ? 46 : 23);
    bar.Invalidate(0);
    Pump();
    const std::string name = "date_bar_" + std::to_string(size.cx) + "x" + std::to_string(size.cy);
    HDC screen = ::GetDC(nullptr);
    EXPECT_TRUE(plat::SaveSurfacePng(screen, ShotPath(name)));

    // The bottom line and the background.
    const int barH = hires ? 46 : 23;
    EXPECT_EQ(::GetPixel(screen, 5, barH - 1), GetGLibColor(5));
    EXPECT_EQ(::GetPixel(screen, bar.GetDateRect().left + 1, 4 * b), GetGLibColor(3));
    // Wednesday is framed and filled with its colour, with a light band at its top.
    const RECT wed = CellRect(3);
    EXPECT_EQ(::GetPixel(screen, wed.left, wed.bottom - 1), GetGLibColor(5));
    EXPECT_EQ(::GetPixel(screen, wed.left + b, wed.bottom - 2 * b), COLORREF(0xC0C0C0));
    EXPECT_EQ(::GetPixel(screen, wed.left + b, wed.top + b), COLORREF(0xE4E4E4));
    // Sunday's label is red, Saturday's blue.
    auto tinted = [](RECT r, int strong) {
        for (COLORREF p : Grab(r)) {
            const int c[3] = {GetRValue(p), GetGValue(p), GetBValue(p)};
            if (c[strong] > 200 && c[(strong + 1) % 3] < 120 && c[(strong + 2) % 3] < 120)
                return true;
        }
        return false;
    };
    EXPECT_TRUE(tinted(CellRect(0), 0));
    EXPECT_TRUE(tinted(CellRect(6), 2));
    EXPECT_FALSE(tinted(CellRect(2), 0) || tinted(CellRect(2), 2));
    // Monday and Thursday have memos: heavier than Tuesday and Friday of the same width.
    const int monday = Ink(CellRect(1));
    EXPECT_GT(monday, Ink(CellRect(2)));
    EXPECT_GT(Ink(CellRect(4)), Ink(CellRect(5)));
    // Arrows in black on both boxes.
    EXPECT_EQ(::GetPixel(screen, Centre(bar.GetPrevRect()).x, Centre(bar.GetPrevRect()).y),
              COLORREF(0));
    EXPECT_EQ(::GetPixel(screen, Centre(bar.GetNextRect()).x, Centre(bar.GetNextRect()).y),
              COLORREF(0));
    // The date text is drawn inside the date button.
    EXPECT_GT(Ink(bar.GetDateRect()), 20);

    // Removing Monday's memo makes it plain again.
    ASSERT_EQ(bar.RemoveDateEntry(memo.c_str(), Day(2023, 3, 13) + 0.3), 1);
    Pump();
    EXPECT_LT(Ink(CellRect(1)), monday);

    // The calendar, open under the pressed date button.
    Tap(Centre(bar.GetDateRect()));
    ASSERT_TRUE(bar.IsCalendarShown());
    Pump();
    EXPECT_TRUE(plat::SaveSurfacePng(screen, ShotPath(name + "_calendar")));
    const RECT d = bar.GetDateRect();
    EXPECT_EQ(::GetPixel(screen, d.left, d.top), COLORREF(0));
    EXPECT_EQ(::GetPixel(screen, d.left + b, d.top + b), COLORREF(0xFFFFFF));
    RECT cal{};
    ::GetWindowRect(*bar.GetCalendar(), &cal);
    EXPECT_EQ(cal.right - cal.left, 7 * (hires ? 32 : 16) + (hires ? 5 : 3));
    EXPECT_LT(cal.top, barH);
    ::ReleaseDC(nullptr, screen);
}

INSTANTIATE_TEST_SUITE_P(Screens, DateBarPicture, ::testing::Values(SIZE{240, 320}, SIZE{480, 640}),
                         [](const auto& info) {
                             return std::to_string(info.param.cx) + "x" +
                                    std::to_string(info.param.cy);
                         });

} // namespace
