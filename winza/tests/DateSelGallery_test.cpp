// Draws the month calendar in solar and lunar mode on both screen sizes and writes the screens
// as PNG files under the build's test output, to be looked at.
#include "datesel_test_support.h"

#include <platform/wingdi.h>

#include <filesystem>
#include <string>

namespace {

class DateSelGallery : public DateSelTest, public ::testing::WithParamInterface<SIZE> {
protected:
    DateSelGallery() {
        screenW = GetParam().cx;
        screenH = GetParam().cy;
    }
    std::string Save(const char* what) {
        const std::string dir = SCRIBBO_TEST_OUTPUT;
        std::filesystem::create_directories(dir);
        const std::string path = dir + "/datesel_" + what + "_" + std::to_string(screenW) + "x" +
                                 std::to_string(screenH) + ".png";
        HDC screen = ::GetDC(nullptr);
        EXPECT_TRUE(plat::SaveSurfacePng(screen, path));
        ::ReleaseDC(nullptr, screen);
        return path;
    }
};

TEST_P(DateSelGallery, SolarAndLunarMonthsAreWrittenAsPng) {
    const int s = ApplyHires(1);
    GDateSelCtrl cal;
    cal.SetFontDefaultDate(fonts.GetFont(s == 2 ? eFontNormal14 : eFontNormal14));
    cal.SetFontBoldDate(fonts.GetFont(eFontBold14));
    // Bold marks on a few days of each month shown, as the date list bar sets them.
    owner.onFirstChanged = [&] {
        const GTime sel(cal.GetSelDate());
        for (int d : {3, 9, 21, 28})
            cal.SetBoldDay(sel.GetYear(), sel.GetMonth(), d, 1);
    };
    const int cx = (screenW - 8 * s) / 7 * 7;
    Open(cal, double(GTime(2024, 5, 20)), 4 * s, 40 * s, cx, 200 * s);
    RECT wr;
    ::GetWindowRect(cal, &wr);
    EXPECT_LE(wr.right, screenW);
    // The header texts fit between the month buttons.
    EXPECT_GE(cal.GetYearTextRect().left, cal.GetPrevRect().right);
    EXPECT_LE(cal.GetMonthTextRect().right, cal.GetNextRect().left);
    EXPECT_TRUE(std::filesystem::exists(Save("solar")));

    cal.SetJulianMode(1);
    Pump();
    EXPECT_EQ(std::u16string(cal.GetMonthText()), std::u16string(u"4월"));
    EXPECT_TRUE(std::filesystem::exists(Save("lunar")));
}

TEST_P(DateSelGallery, LayoutDoublesOnTheLargeScreen) {
    const int s = ApplyHires(1);
    ASSERT_EQ(s, screenW > 320 ? 2 : 1);
    GDateSelCtrl cal;
    Open(cal, double(GTime(2024, 5, 20)), 0, 0, 105 * 2 * s, 100 * 2 * s);
    const int cw = 30 * s, strip = 18 * s;
    const int ch = (200 * s - strip - 35 * s) / 6;
    EXPECT_EQ(cal.GetCellWidth(), cw);
    EXPECT_EQ(cal.GetCellHeight(), ch);
    RECT wr;
    ::GetWindowRect(cal, &wr);
    EXPECT_EQ(wr.right - wr.left, 7 * cw + (s == 2 ? 5 : 3));
    EXPECT_EQ(wr.bottom - wr.top, 6 * ch + strip + (s == 2 ? 74 : 37));
    EXPECT_EQ(cal.GetHeaderRect().bottom, 18 * s);
    EXPECT_EQ(cal.GetWeekRect().bottom, 35 * s);
    EXPECT_EQ(cal.GetCell(0).GetRect().top, 35 * s);
    EXPECT_EQ(cal.GetCell(0).GetRect().left, 1);
    EXPECT_EQ(cal.GetCell(8).GetRect().left, cw + 1);
    EXPECT_EQ(cal.GetPrevRect().left, 3 * s);
    EXPECT_EQ(cal.GetPrevRect().top, 2 * s);
    EXPECT_EQ(cal.GetPrevRect().right, 19 * s);
    EXPECT_EQ(cal.GetPrevRect().bottom, 15 * s);
    EXPECT_EQ(cal.GetTodayRect().bottom - cal.GetTodayRect().top, strip);
    // The selection frame is 1 (2) pixels wide.
    const RECT sel = cal.GetCell(cal.GetSelCell()).GetRect();
    POINT inner{sel.left + 5 * s, sel.top + 1};
    cal.ClientToScreen(&inner);
    EXPECT_EQ(ScreenPixel(inner.x, inner.y), s == 2 ? GetGLibColor(59) : GetGLibColor(52));
}

INSTANTIATE_TEST_SUITE_P(Screens, DateSelGallery, ::testing::Values(SIZE{240, 320}, SIZE{480, 640}),
                         [](const ::testing::TestParamInfo<SIZE>& info) {
                             return std::to_string(info.param.cx) + "x" +
                                    std::to_string(info.param.cy);
                         });

} // namespace
