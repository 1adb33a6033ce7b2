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

INSTANTIATE_TEST_SUITE_P(Screens, DateSelGallery, ::testing::Values(SIZE{240, 320}, SIZE{480, 640}),
                         [](const ::testing::TestParamInfo<SIZE>& info) {
                             return std::to_string(info.param.cx) + "x" +
                                    std::to_string(info.param.cy);
                         });

} // namespace
