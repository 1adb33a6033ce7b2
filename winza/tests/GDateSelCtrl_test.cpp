// The month calendar: layout, filling, stepping, bold marks, pen and keys, the month button
// repeat on the virtual clock, the year and month menus and the notifications.
#include "datesel_test_support.h"

#include "winza/GlobalDC.h"

#include <cmath>
#include <string>

namespace {

TEST_F(DateSelTest, CellsPaintInTheirWeekdayColours) {
    GDib dib;
    ASSERT_TRUE(dib.Create(40, 30, 24));
    HDC mem = GetGlobalMemDC();
    HGDIOBJ old = ::SelectObject(mem, dib.GetSafeHandle());
    HGDIOBJ oldFont = ::SelectObject(mem, fonts.GetFont(eFontBold14));
    GDateCell cell;
    const RECT rc{5, 2, 35, 28};
    // Sunday in the month, Saturday outside it, a weekday, and no day at all.
    const struct {
        int dow, inMonth, day, back, text;
    } cases[] = {{1, 1, 8, 49, 50}, {7, 0, 3, 55, 57}, {4, 1, 18, 52, 53}, {3, 0, 255, 52, -1}};
    for (const auto& c : cases) {
        const COLORREF saved = GetGLibColor(c.back);
        SetGLibColor(c.back, RGB(10, 200, 30)); // a background that tells cells apart
        cell.InitCell(rc, c.day, c.dow, c.inMonth);
        EXPECT_EQ(cell.BackColorIndex(), c.back);
        FillSolidRect(mem, 0, 0, 40, 30, RGB(0, 0, 0));
        cell.DrawCell(mem);
        EXPECT_EQ(dib.GetPixelColor(5, 2), RGB(10, 200, 30));
        EXPECT_EQ(dib.GetPixelColor(4, 2), RGB(0, 0, 0)); // nothing outside the rectangle
        int text = 0;
        for (int y = 2; y < 28; ++y)
            for (int x = 5; x < 35; ++x)
                text += c.text >= 0 && dib.GetPixelColor(x, y) == GetGLibColor(c.text);
        if (c.text >= 0)
            EXPECT_GT(text, 5) << "day " << c.day;
        else
            EXPECT_EQ(cell.TextColorIndex(), 54);
        SetGLibColor(c.back, saved);
    }
    EXPECT_EQ(cell.HitTest(POINT{5, 2}), 1);
    EXPECT_EQ(cell.HitTest(POINT{35, 2}), 0);
    ::SelectObject(mem, oldFont);
    ::SelectObject(mem, old);
}

TEST_F(DateSelTest, LayoutFollowsTheCellSizes) {
    GDateSelCtrl cal;
    Open(cal, Day(2024, 5, 15));
    RECT wr;
    ::GetWindowRect(cal, &wr);
    // cw = 210 / 7 = 30, ch = (200 - 18 - 35) / 6 = 24.
    EXPECT_EQ(cal.GetCellWidth(), 30);
    EXPECT_EQ(cal.GetCellHeight(), 24);
    EXPECT_EQ(wr.left, 10);
    EXPECT_EQ(wr.top, 40);
    EXPECT_EQ(wr.right - wr.left, 7 * 30 + 3);
    EXPECT_EQ(wr.bottom - wr.top, 6 * 24 + 18 + 37);
    const RECT c0 = cal.GetCell(0).GetRect();
    EXPECT_EQ(c0.left, 1);
    EXPECT_EQ(c0.top, 35);
    EXPECT_EQ(c0.right, 31);
    EXPECT_EQ(c0.bottom, 59);
    const RECT c41 = cal.GetCell(41).GetRect();
    EXPECT_EQ(c41.left, 181);
    EXPECT_EQ(c41.right, 211);
    EXPECT_EQ(c41.bottom, 35 + 6 * 24);
    EXPECT_EQ(cal.GetTodayRect().top, c41.bottom);
    EXPECT_EQ(cal.GetTodayRect().bottom, cal.Height());
    EXPECT_EQ(cal.GetHeaderRect().bottom, 18);
    EXPECT_EQ(cal.GetWeekRect().top, 18);
    EXPECT_EQ(cal.GetWeekRect().bottom, 35);
    EXPECT_EQ(cal.GetPrevRect().left, 3);
    EXPECT_EQ(cal.GetPrevRect().bottom, 15);
    EXPECT_EQ(cal.GetNextRect().right, cal.Width() - 3);
    // A later layout keeps the date and refills the cells at the new size.
    cal.MoveWindow(0, 0, 140, 170);
    EXPECT_EQ(cal.GetCellWidth(), 20);
    EXPECT_EQ(cal.GetCell(8).GetRect().left, 21);
    EXPECT_EQ(Sel(cal).GetDay(), 15);
}

TEST_F(DateSelTest, CellsShowSixWeeksFromTheSundayBeforeTheFirst) {
    GDateSelCtrl cal;
    Open(cal, Day(2024, 1, 31));
    // 1 January 2024 is a Monday: the first cell is Sunday 31 December 2023.
    EXPECT_EQ(cal.GetFirstDate(), Day(2023, 12, 31));
    EXPECT_EQ(cal.GetCell(0).GetDay(), 31);
    EXPECT_EQ(cal.GetCell(0).IsInMonth(), 0);
    EXPECT_EQ(cal.GetCell(0).GetDayOfWeek(), 1);
    EXPECT_EQ(cal.GetCell(1).GetDay(), 1);
    EXPECT_EQ(cal.GetCell(1).IsInMonth(), 1);
    EXPECT_EQ(cal.GetCell(31).GetDay(), 31);
    EXPECT_EQ(cal.GetCell(32).GetDay(), 1);
    EXPECT_EQ(cal.GetCell(32).IsInMonth(), 0);
    EXPECT_EQ(cal.GetCell(41).GetDay(), 10);
    EXPECT_EQ(cal.GetCell(41).GetDayOfWeek(), 7);
    EXPECT_EQ(cal.GetSelCell(), 31);
    EXPECT_EQ(cal.GetTodayCell(), -1); // today is 15 May 2024
    EXPECT_EQ(std::u16string(cal.GetYearText()), std::u16string(u"2024년"));
    EXPECT_EQ(std::u16string(cal.GetMonthText()), std::u16string(u"1월"));
    // A month starting on Sunday starts in the first cell.
    cal.SetSelDate(Day(2023, 10, 9));
    EXPECT_EQ(cal.GetFirstDate(), Day(2023, 10, 1));
    cal.SetSelDate(Day(2024, 5, 2));
    EXPECT_EQ(cal.GetTodayCell(), 17);
}

TEST_F(DateSelTest, LunarModeShowsLunarDaysAndHeader) {
    GDateSelCtrl cal;
    Open(cal, Day(2024, 2, 10));
    cal.SetJulianMode(1);
    EXPECT_EQ(std::u16string(cal.GetYearText()), std::u16string(u"2024년"));
    EXPECT_EQ(std::u16string(cal.GetMonthText()), std::u16string(u"1월"));
    const int sel = cal.GetSelCell();
    EXPECT_EQ(cal.GetCell(sel).GetDay(), 1);      // lunar new year
    EXPECT_EQ(cal.GetCell(sel - 1).GetDay(), 30); // last day of lunar 2023-12
    // The grid stays the solar month.
    EXPECT_EQ(cal.GetFirstDate(), Day(2024, 1, 28));
    cal.SetSelDate(Day(2024, 2, 9));
    EXPECT_EQ(std::u16string(cal.GetYearText()), std::u16string(u"2023년"));
    EXPECT_EQ(std::u16string(cal.GetMonthText()), std::u16string(u"12월"));
    // Without lunar dates the cells are blank and the header says so.
    cal.SetSelDate(Day(2200, 3, 1));
    EXPECT_EQ(cal.GetCell(10).GetDay(), GDateCell::kNoDay);
    EXPECT_EQ(std::u16string(cal.GetYearText()), std::u16string(u"-1년"));
    EXPECT_EQ(std::u16string(cal.GetMonthText()), std::u16string(u"255월"));
    cal.SetJulianMode(0);
    EXPECT_EQ(cal.GetCell(10).GetDay(), GTime(cal.GetFirstDate() + 10).GetDay());
}

TEST_F(DateSelTest, MonthStepsClampTheDay) {
    GDateSelCtrl cal;
    Open(cal, Day(2024, 1, 31));
    owner.notes.clear();
    cal.Next();
    EXPECT_EQ(cal.GetSelDate(), Day(2024, 2, 29));
    cal.Next();
    EXPECT_EQ(cal.GetSelDate(), Day(2024, 3, 29));
    cal.SetSelDate(Day(2023, 1, 31));
    cal.Next();
    EXPECT_EQ(cal.GetSelDate(), Day(2023, 2, 28));
    cal.SetSelDate(Day(2024, 3, 31));
    cal.Prev();
    EXPECT_EQ(cal.GetSelDate(), Day(2024, 2, 29));
    cal.SetSelDate(Day(2024, 12, 31));
    cal.Next();
    EXPECT_EQ(cal.GetSelDate(), Day(2025, 1, 31));
    cal.Prev();
    EXPECT_EQ(cal.GetSelDate(), Day(2024, 12, 31));
    // Each change of the first shown date told the owner, with the new selected day.
    const auto changes = owner.Notes(kDateSelFirstChanged);
    ASSERT_EQ(changes.size(), 9u);
    EXPECT_EQ(changes[0].day, static_cast<LPARAM>(Day(2024, 2, 29)));
    EXPECT_EQ(changes.back().day, static_cast<LPARAM>(Day(2024, 12, 31)));
    // A date within the shown weeks tells nothing.
    owner.notes.clear();
    cal.SetSelDate(Day(2024, 12, 2));
    EXPECT_TRUE(owner.Notes(kDateSelFirstChanged).empty());
}

// Dark pixels of a cell on the screen: ink of its number.
int Ink(const GDateSelCtrl& cal, int cell) {
    RECT rc = cal.GetCell(cell).GetRect();
    cal.ClientToScreen(&rc);
    HDC dc = ::GetDC(nullptr);
    int ink = 0;
    for (int y = rc.top + 2; y < rc.bottom - 2; ++y)
        for (int x = rc.left + 2; x < rc.right - 2; ++x)
            ink += GetGValue(::GetPixel(dc, x, y)) < 128;
    ::ReleaseDC(nullptr, dc);
    return ink;
}

TEST_F(DateSelTest, BoldMarksFollowTheOwnerAndDrawBold) {
    GDateSelCtrl cal;
    // The owner marks the 18th of each month shown.
    owner.onFirstChanged = [&] {
        const GTime sel(cal.GetSelDate());
        cal.SetBoldDay(sel.GetYear(), sel.GetMonth(), 18, 1);
    };
    Open(cal, Day(2024, 5, 15));
    const int may18 = static_cast<int>(Day(2024, 5, 18) - cal.GetFirstDate());
    EXPECT_EQ(cal.GetBoldDay(may18), 1);
    EXPECT_EQ(cal.GetBoldDay(may18 - 7), 0);
    cal.Invalidate(0);
    Pump();
    const int boldInk = Ink(cal, may18);
    cal.SetBoldDay(may18, 0);
    Pump(); // the mark repaints its cell when the window next paints
    const int normalInk = Ink(cal, may18);
    EXPECT_GT(boldInk, normalInk);
    EXPECT_GT(normalInk, 0);
    // A new month drops the old marks; the owner marks the new 18th.
    cal.Next();
    const int june18 = static_cast<int>(Day(2024, 6, 18) - cal.GetFirstDate());
    int marks = 0;
    for (int i = 0; i < GDateSelCtrl::kCellCount; ++i)
        marks += cal.GetBoldDay(i);
    EXPECT_EQ(marks, 1);
    EXPECT_EQ(cal.GetBoldDay(june18), 1);
    cal.ResetBoldDay();
    EXPECT_EQ(cal.GetBoldDay(june18), 0);
    // Outside the cells nothing is marked.
    cal.SetBoldDay(42, 1);
    cal.SetBoldDay(-1, 1);
    cal.SetBoldDay(2030, 1, 1, 1);
    EXPECT_EQ(cal.GetBoldDay(42), 0);
    EXPECT_EQ(cal.GetBoldDay(-1), 0);
}

TEST_F(DateSelTest, TappingACellChoosesItAndMovesTheFrame) {
    GDateSelCtrl cal;
    Open(cal, Day(2024, 5, 15));
    const COLORREF frame = GetGLibColor(59);
    const int old = cal.GetSelCell();
    RECT oldRc = cal.GetCell(old).GetRect();
    EXPECT_EQ(ScreenPixel(OnScreen(cal, POINT{oldRc.left + 4, oldRc.top}).x,
                          OnScreen(cal, POINT{oldRc.left + 4, oldRc.top}).y),
              frame);
    owner.notes.clear();
    const int target = old + 5; // 20 May
    const POINT p = OnScreen(cal, Centre(cal.GetCell(target).GetRect()));
    Down(p.x, p.y);
    // The frame follows the pen at once, without telling the owner.
    const RECT rc = cal.GetCell(target).GetRect();
    const POINT top = OnScreen(cal, POINT{rc.left + 4, rc.top});
    const POINT oldTop = OnScreen(cal, POINT{oldRc.left + 4, oldRc.top});
    EXPECT_EQ(ScreenPixel(top.x, top.y), frame);
    EXPECT_NE(ScreenPixel(oldTop.x, oldTop.y), frame);
    EXPECT_TRUE(owner.Notes(kDateSelChosen).empty());
    Up(p.x, p.y);
    const auto chosen = owner.Notes(kDateSelChosen);
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0].day, static_cast<LPARAM>(Day(2024, 5, 20)));
    EXPECT_EQ(cal.GetSelDate(), Day(2024, 5, 20));
    EXPECT_EQ(cal.GetSelCell(), target);
    EXPECT_EQ(ScreenPixel(top.x, top.y), frame);
    // A cell of the next month is chosen as it stands; the month stays.
    TapAt(cal, Centre(cal.GetCell(40).GetRect()));
    EXPECT_EQ(cal.GetSelDate(), cal.GetFirstDate() + 40);
    EXPECT_EQ(owner.Notes(kDateSelChosen).size(), 2u);
}

TEST_F(DateSelTest, TodayStripAndWeekdayRowGoToToday) {
    GDateSelCtrl cal;
    Open(cal, Day(2021, 3, 3));
    owner.notes.clear();
    TapAt(cal, Centre(cal.GetWeekRect()));
    EXPECT_EQ(cal.GetSelDate(), Day(2024, 5, 15));
    EXPECT_TRUE(owner.Notes(kDateSelChosen).empty());
    cal.SetSelDate(Day(2021, 3, 3));
    owner.notes.clear();
    TapAt(cal, Centre(cal.GetTodayRect()));
    EXPECT_EQ(cal.GetSelDate(), Day(2024, 5, 15));
    const auto chosen = owner.Notes(kDateSelChosen);
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0].day, static_cast<LPARAM>(Day(2024, 5, 15)));
    EXPECT_EQ(cal.GetTodayCell(), cal.GetSelCell());
}

TEST_F(DateSelTest, KeysMoveTheSelectionAndReturnChooses) {
    GDateSelCtrl cal;
    Open(cal, Day(2024, 5, 31));
    ::SetFocus(cal);
    Pump();
    owner.notes.clear();
    auto press = [&](int vk) {
        plat::InputKey(vk, true);
        plat::InputKey(vk, false);
        Pump();
    };
    press(VK_RETURN);
    auto chosen = owner.Notes(kDateSelChosen);
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0].day, static_cast<LPARAM>(Day(2024, 5, 31)));
    press(VK_RIGHT); // into June: a new first date
    EXPECT_EQ(cal.GetSelDate(), Day(2024, 6, 1));
    EXPECT_EQ(owner.Notes(kDateSelFirstChanged).size(), 1u);
    press(VK_LEFT);
    EXPECT_EQ(cal.GetSelDate(), Day(2024, 5, 31));
    press(VK_UP);
    EXPECT_EQ(cal.GetSelDate(), Day(2024, 5, 24));
    press(VK_DOWN);
    press(VK_DOWN);
    EXPECT_EQ(cal.GetSelDate(), Day(2024, 6, 7));
    press(VK_RETURN);
    chosen = owner.Notes(kDateSelChosen);
    ASSERT_EQ(chosen.size(), 2u);
    EXPECT_EQ(chosen[1].day, static_cast<LPARAM>(Day(2024, 6, 7)));
    // Losing the focus is told too.
    EXPECT_TRUE(owner.Notes(kDateSelLostFocus).empty());
    ::SetFocus(owner);
    Pump();
    EXPECT_EQ(owner.Notes(kDateSelLostFocus).size(), 1u);
}

TEST_F(DateSelTest, HeldMonthButtonRepeatsAfter500ThenEvery200Ms) {
    GDateSelCtrl cal;
    Open(cal, Day(2024, 1, 31));
    owner.notes.clear();
    const POINT p = OnScreen(cal, Centre(cal.GetNextRect()));
    const ULONGLONG t0 = clock.Now();
    Down(p.x, p.y);
    EXPECT_EQ(cal.IsNextHeld(), 1);
    Wait(699);
    EXPECT_TRUE(owner.Notes(kDateSelFirstChanged).empty());
    Wait(1);
    Wait(450);    // steps at 700, 900, 1100
    Up(p.x, p.y); // and one for the lift on the button
    const auto steps = owner.Notes(kDateSelFirstChanged);
    ASSERT_EQ(steps.size(), 4u);
    EXPECT_EQ(steps[0].at - t0, 700u);
    EXPECT_EQ(steps[1].at - t0, 900u);
    EXPECT_EQ(steps[2].at - t0, 1100u);
    EXPECT_EQ(cal.GetSelDate(), Day(2024, 5, 29)); // Feb 29, Mar 29, Apr 29, May 29
    EXPECT_EQ(cal.IsNextHeld(), 0);
    Wait(1000);
    EXPECT_EQ(owner.Notes(kDateSelFirstChanged).size(), 4u);
}

TEST_F(DateSelTest, LeavingTheButtonStopsTheRepeatAndComingBackResumesIt) {
    GDateSelCtrl cal;
    Open(cal, Day(2024, 6, 15));
    owner.notes.clear();
    const POINT on = OnScreen(cal, Centre(cal.GetPrevRect()));
    const POINT off = OnScreen(cal, Centre(cal.GetCell(20).GetRect()));
    Down(on.x, on.y);
    Wait(750); // one step at 700
    EXPECT_EQ(owner.Notes(kDateSelFirstChanged).size(), 1u);
    Move(off.x, off.y);
    EXPECT_EQ(cal.IsPrevHeld(), 0);
    Wait(1000);
    EXPECT_EQ(owner.Notes(kDateSelFirstChanged).size(), 1u);
    const ULONGLONG back = clock.Now();
    Move(on.x, on.y);
    EXPECT_EQ(cal.IsPrevHeld(), 1);
    Wait(210);
    const auto steps = owner.Notes(kDateSelFirstChanged);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[1].at - back, 200u);
    // Lifted away from the button (and outside the window): no further step.
    RECT wr;
    ::GetWindowRect(cal, &wr);
    Move(on.x, wr.bottom + 20);
    Up(on.x, wr.bottom + 20);
    EXPECT_EQ(owner.Notes(kDateSelFirstChanged).size(), 2u);
    EXPECT_EQ(cal.GetSelDate(), Day(2024, 4, 15));
    EXPECT_TRUE(owner.Notes(kDateSelChosen).empty());
}

TEST_F(DateSelTest, YearMenuListsFiveYearsAndSetsTheChosenOne) {
    TestDateSel cal;
    Open(cal, Day(2024, 2, 29));
    RECT seenText{};
    cal.onMenu = [&](HWND, RECT rc) {
        seenText = cal.GetYearTextRect();
        const int rows = 5;
        const int h = (rc.bottom - rc.top - 2) / rows;
        // The fourth row: 2026 (the list starts at 2023).
        plat::InputStylusDown((rc.left + rc.right) / 2, rc.top + 1 + h * 3 + h / 2);
        plat::InputStylusUp((rc.left + rc.right) / 2, rc.top + 1 + h * 3 + h / 2);
    };
    TapAt(cal, Centre(cal.GetYearRect()));
    ASSERT_EQ(cal.menuRects.size(), 1u);
    EXPECT_EQ(cal.GetSelDate(), Day(2026, 2, 28)); // the day clamped to 2026's February
    // Centred 28 pixels right of the text's left edge.
    POINT anchor{seenText.left + 28, seenText.top - 22};
    cal.ClientToScreen(&anchor);
    const RECT m = cal.menuRects[0];
    EXPECT_LE(std::abs((m.left + m.right) / 2 - anchor.x), 1);
    // Dismissed, nothing changes.
    cal.onMenu = nullptr;
    TapAt(cal, Centre(cal.GetYearRect()));
    EXPECT_EQ(cal.menuRects.size(), 2u);
    EXPECT_EQ(cal.GetSelDate(), Day(2026, 2, 28));
}

TEST_F(DateSelTest, YearMenuStopsBefore2200) {
    TestDateSel cal;
    Open(cal, Day(2198, 7, 1));
    int heights[2] = {};
    cal.onMenu = [&](HWND, RECT rc) {
        heights[cal.menuRects.size() - 1] = rc.bottom - rc.top;
        ::EndMenu();
    };
    TapAt(cal, Centre(cal.GetYearRect()));
    cal.SetSelDate(Day(2100, 7, 1));
    TapAt(cal, Centre(cal.GetYearRect()));
    ASSERT_EQ(cal.menuRects.size(), 2u);
    // 2197, 2198 and 2199 against five years.
    EXPECT_EQ((heights[0] - 2) * 5, (heights[1] - 2) * 3);
}

TEST_F(DateSelTest, MonthMenuSetsTheChosenMonth) {
    TestDateSel cal;
    Open(cal, Day(2024, 3, 31), 10, 200);
    cal.onMenu = [&](HWND, RECT rc) {
        const int h = (rc.bottom - rc.top - 2) / 12;
        const int x = (rc.left + rc.right) / 2, y = rc.top + 1 + h * 1 + h / 2; // February
        plat::InputStylusDown(x, y);
        plat::InputStylusUp(x, y);
    };
    TapAt(cal, Centre(cal.GetMonthRect()));
    ASSERT_EQ(cal.menuRects.size(), 1u);
    EXPECT_EQ(cal.GetSelDate(), Day(2024, 2, 29));
    // In lunar mode the menu names lunar months: lunar 4/8 (15 May 2024) to lunar 1/8.
    cal.SetSelDate(Day(2024, 5, 15));
    cal.SetJulianMode(1);
    cal.onMenu = [&](HWND, RECT rc) {
        const int h = (rc.bottom - rc.top - 2) / 12;
        const int x = (rc.left + rc.right) / 2, y = rc.top + 1 + h / 2;
        plat::InputStylusDown(x, y);
        plat::InputStylusUp(x, y);
    };
    TapAt(cal, Centre(cal.GetMonthRect()));
    EXPECT_EQ(cal.GetSelDate(), Day(2024, 2, 17)); // lunar 2024-01-08
}

TEST_F(DateSelTest, DrawingUsesTheToolkitColours) {
    GDateSelCtrl cal;
    Open(cal, Day(2024, 5, 20));
    auto pixel = [&](POINT client) {
        const POINT p = OnScreen(cal, client);
        return ScreenPixel(p.x, p.y);
    };
    EXPECT_EQ(pixel(POINT{cal.GetPrevRect().right + 1, 1}), GetGLibColor(37));
    EXPECT_EQ(pixel(POINT{cal.GetPrevRect().left, cal.GetPrevRect().top}), GetGLibColor(43));
    EXPECT_EQ(pixel(POINT{cal.GetPrevRect().left + 2, cal.GetPrevRect().top + 2}),
              GetGLibColor(41));
    EXPECT_EQ(pixel(POINT{2, cal.GetWeekRect().bottom - 1}), GetGLibColor(48));
    EXPECT_EQ(pixel(POINT{2, cal.GetTodayRect().top}), RGB(0, 0, 0));
    EXPECT_EQ(pixel(POINT{2, cal.GetTodayRect().top + 2}), GetGLibColor(60));
    // Today's cell (15 May) is white blended half with colour 58.
    const RECT today = cal.GetCell(cal.GetTodayCell()).GetRect();
    const COLORREF blend = pixel(POINT{today.left + 1, today.top + 1});
    const COLORREF c58 = GetGLibColor(58);
    EXPECT_NEAR(GetGValue(blend), (255 + GetGValue(c58)) / 2, 1);
    EXPECT_NEAR(GetBValue(blend), (255 + GetBValue(c58)) / 2, 1);
    // Holding a month button draws it held.
    const POINT p = OnScreen(cal, Centre(cal.GetNextRect()));
    Down(p.x, p.y);
    EXPECT_EQ(pixel(POINT{cal.GetNextRect().left + 2, cal.GetNextRect().top + 2}),
              GetGLibColor(42));
    Move(p.x, p.y + 100);
    Up(p.x, p.y + 100);
    EXPECT_EQ(pixel(POINT{cal.GetNextRect().left + 2, cal.GetNextRect().top + 2}),
              GetGLibColor(41));
    // A pressed year text turns colour 40 until the pen lets go.
    auto pressedPixels = [&] {
        const RECT t = cal.GetYearTextRect();
        int n = 0;
        for (int y = t.top; y < t.bottom; ++y)
            for (int x = t.left; x < t.right; ++x)
                n += pixel(POINT{x, y}) == GetGLibColor(40);
        return n;
    };
    EXPECT_EQ(pressedPixels(), 0);
    const POINT year = OnScreen(cal, Centre(cal.GetYearTextRect()));
    Down(year.x, year.y);
    EXPECT_GT(pressedPixels(), 10);
    Move(year.x, year.y + 150);
    Up(year.x, year.y + 150);
    EXPECT_EQ(pressedPixels(), 0);
    cal.SetJulianMode(1);
    Pump();
    EXPECT_EQ(pixel(POINT{cal.GetPrevRect().right + 1, 1}), GetGLibColor(38));
}

TEST_F(DateSelTest, ErasingCopiesFromTheBitmap) {
    GDateSelCtrl cal;
    Open(cal, Day(2024, 5, 20));
    const RECT rc = cal.GetCell(3).GetRect();
    const POINT p = OnScreen(cal, POINT{rc.left + 3, rc.top + 3});
    const COLORREF before = ScreenPixel(p.x, p.y);
    HDC dc = ::GetDC(nullptr);
    FillSolidRect(dc, p.x - 2, p.y - 2, 5, 5, RGB(1, 2, 3));
    ::ReleaseDC(nullptr, dc);
    ::InvalidateRect(cal, &rc, TRUE);
    Pump();
    EXPECT_EQ(ScreenPixel(p.x, p.y), before);
}

} // namespace
