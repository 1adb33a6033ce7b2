#include "winza/GLib.h"
#include "winza/GImageList.h"
#include "winza/GLibState.h"
#include "winza/GRecognizeCursor.h"

#include <TestDevice.h>
#include <platform/display.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

class GLibTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(device.Host("Program Files/Scribbo"));
    }
    void TearDown() override { FreeGLib(); }
    // A UTF-16 file with a byte-order mark and CR LF line ends.
    void WriteLanguageFile(const std::vector<std::u16string>& lines) {
        std::string bytes = "\xFF\xFE";
        for (const std::u16string& line : lines) {
            for (char16_t c : line + u"\r\n") {
                bytes += char(c & 0xFF);
                bytes += char(c >> 8);
            }
        }
        std::ofstream(device.Host("Program Files/Scribbo/winza.lng"), std::ios::binary) << bytes;
    }
    TestDevice device;
};

TEST_F(GLibTest, BuiltInTextsWithoutALanguageFile) {
    InitGLibControl();
    EXPECT_EQ(IsGLibTextOwned(), 0);
    EXPECT_EQ(GetGLibTextCount(), 18);
    EXPECT_EQ(std::u16string(GetGLibText(0)), u"한국어");
    EXPECT_EQ(std::u16string(GetGLibText(4)), u"아니오");
    EXPECT_EQ(std::u16string(GetGLibText(8)), u"일");
    EXPECT_EQ(std::u16string(GetGLibText(14)), u"토");
    EXPECT_EQ(std::u16string(GetGLibText(15)), u"오늘 날짜");
    EXPECT_EQ(std::u16string(GetGLibText(17)), u"%d월");
    EXPECT_EQ(std::u16string(GetGLibText(18)), u"");
    EXPECT_EQ(std::u16string(GetGLibText(-1)), u"");
    FreeGLibControl();
    EXPECT_EQ(GetGLibTextCount(), 0);
    EXPECT_EQ(std::u16string(GetGLibText(0)), u"");
}

TEST_F(GLibTest, LanguageFileSkipsCommentsAndEmptyLines) {
    WriteLanguageFile({u"// comment", u"English", u"", u"a/ second slash", u"/single", u"OK",
                       u"Cancel", u"x", u"ab/c"});
    InitGLibControl();
    EXPECT_EQ(IsGLibTextOwned(), 1);
    ASSERT_EQ(GetGLibTextCount(), 5);
    EXPECT_EQ(std::u16string(GetGLibText(0)), u"English");
    EXPECT_EQ(std::u16string(GetGLibText(1)), u"OK");
    EXPECT_EQ(std::u16string(GetGLibText(2)), u"Cancel");
    EXPECT_EQ(std::u16string(GetGLibText(3)), u"x"); // one character is a text
    EXPECT_EQ(std::u16string(GetGLibText(4)), u"ab/c");
    // A file without built-in entries leaves them empty: nothing is mixed in.
    EXPECT_EQ(std::u16string(GetGLibText(15)), u"");
}

TEST_F(GLibTest, LongLinesAreCutAndLoadingAgainReplacesTheTable) {
    WriteLanguageFile({std::u16string(3000, u'가'), u"next"});
    InitGLibControl();
    ASSERT_GE(GetGLibTextCount(), 2);
    EXPECT_EQ(std::u16string(GetGLibText(0)).size(), 1023u);
    WriteLanguageFile({u"only"});
    InitGLibControl();
    EXPECT_EQ(GetGLibTextCount(), 1);
    EXPECT_EQ(std::u16string(GetGLibText(0)), u"only");
}

TEST_F(GLibTest, ShippedLanguageFileHoldsTheToolkitTexts) {
    std::filesystem::copy_file(std::string(SCRIBBO_DATA_DIR) + "/winza.lng",
                               device.Host("Program Files/Scribbo/winza.lng"));
    InitGLibControl();
    EXPECT_EQ(IsGLibTextOwned(), 1);
    EXPECT_EQ(GetGLibTextCount(), 27);
    EXPECT_EQ(std::u16string(GetGLibText(1)), u"확인");
    EXPECT_EQ(std::u16string(GetGLibText(5)), u"중단");
    EXPECT_EQ(std::u16string(GetGLibText(8)), u"일");
    EXPECT_EQ(std::u16string(GetGLibText(15)), u"오늘 날짜");
    EXPECT_EQ(std::u16string(GetGLibText(16)), u"%d년");
    EXPECT_EQ(std::u16string(GetGLibText(20)), u"모든 파일|*.*||");
    EXPECT_EQ(std::u16string(GetGLibText(26)), u"새 폴더");
}

TEST_F(GLibTest, DefaultColoursAndRangeChecks) {
    for (int i = 0; i < kGLibColorCount; ++i)
        SetGLibColor(i, RGB(1, 2, 3));
    InitGLibControl();
    EXPECT_EQ(GetGLibColor(0), ::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(GetGLibColor(1), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(GetGLibColor(2), ::GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(GetGLibColor(23), ::GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(GetGLibColor(13), 0xFFFFFFu);
    EXPECT_EQ(GetGLibColor(16), 0xECECECu);
    EXPECT_EQ(GetGLibColor(25), 0xD80000u);
    // The scroll-bar thumb, idle and dragged, is clearly darker than its track (24).
    for (int thumb : {33, 34})
        for (int channel = 0; channel < 3; ++channel)
            EXPECT_LE(((GetGLibColor(thumb) >> (8 * channel)) & 0xFF) + 48,
                      (GetGLibColor(24) >> (8 * channel)) & 0xFF)
                << thumb;
    EXPECT_EQ(GetGLibColor(40), 0x00FFFFu);
    EXPECT_EQ(GetGLibColor(59), 0x0000FFu);
    EXPECT_EQ(GetGLibColor(75), 0x00009Cu);
    EXPECT_EQ(GetGLibColor(79), 0xFFFFFFu);
    // 80 and up are not defaults: they keep what was stored.
    EXPECT_EQ(GetGLibColor(80), RGB(1, 2, 3));
    EXPECT_EQ(GetGLibColor(128), 0xFFFFFFu);
    EXPECT_EQ(GetGLibColor(-1), 0xFFFFFFu);
    SetGLibColor(-1, 0);
    SetGLibColor(128, 0);
    EXPECT_EQ(GetGLibColor(127), RGB(1, 2, 3));
    SetGLibColor(127, RGB(9, 8, 7));
    EXPECT_EQ(GetGLibColor(127), RGB(9, 8, 7));
}

TEST_F(GLibTest, DialogFrameGivesTheBodyColour) {
    InitGLibControl();
    GDib frame;
    ASSERT_TRUE(frame.Create(64, 128, 24));
    frame.SetBackColor(RGB(10, 10, 10));
    frame.FillRect(ApplyHires(14), ApplyHires(32), 1, 1, RGB(200, 100, 50));
    SetGlobalDlgFrame(&frame);
    EXPECT_EQ(GetGlobalDlgFrame(), &frame);
    EXPECT_EQ(GetGLibColor(79), RGB(200, 100, 50));
    // Too small a bitmap is stored but leaves the colour.
    GDib tiny;
    ASSERT_TRUE(tiny.Create(4, 4, 24));
    SetGlobalDlgFrame(&tiny);
    EXPECT_EQ(GetGLibColor(79), RGB(200, 100, 50));
    SetGlobalDlgFrame(nullptr);
    SetGlobalBtnFrame(&frame);
    EXPECT_EQ(GetGlobalBtnFrame(), &frame);
    SetGlobalBtnFrame(nullptr);
}

TEST_F(GLibTest, FontsAreOnlyReferenced) {
    HFONT f = ::CreateFontW(12, 0, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 5, 0, u"Tahoma");
    SetGlobalFontDef(f);
    SetGlobalFontBold(f);
    EXPECT_EQ(GetGlobalFontDef(), f);
    EXPECT_EQ(GetGlobalFontBold(), f);
    FreeGLib();
    EXPECT_EQ(::GetObjectType(f), static_cast<DWORD>(OBJ_FONT)); // still alive
    SetGlobalFontDef(nullptr);
    SetGlobalFontBold(nullptr);
    ::DeleteObject(f);
}

// Each screen size makes the display mode be found afresh.
class ScreenOf {
public:
    ScreenOf(int w, int h) {
        plat::CreateScreenSurface(w, h);
        ResetDisplayMode();
    }
    ~ScreenOf() {
        plat::CreateScreenSurface(480, 640);
        ResetDisplayMode();
    }
};

class IconStrip : public GLibTest, public ::testing::WithParamInterface<SIZE> {};

TEST_P(IconStrip, TenCellsOnMagentaDrawnForTheScreen) {
    ScreenOf screen(GetParam().cx, GetParam().cy);
    InitGLibControl();
    GDib* icons = GetGLibIconStrip();
    ASSERT_NE(icons, nullptr);
    const int s = ApplyHires(1);
    const int cell = 16 * s;
    EXPECT_EQ(GetGLibIconSize(), cell);
    EXPECT_EQ(GetGLibIconCount(), 10);
    EXPECT_EQ(icons->Height(), cell);
    EXPECT_EQ(QuadToColor(icons->GetTransColor()), RGB(255, 0, 255));
    EXPECT_EQ(icons->GetPixelColor(0, 0), RGB(255, 0, 255));
    // The same pictures in the same cells on either screen: the OK tick (cell 3) and the
    // cancel cross (cell 4) through their middles, and the chosen radio button's black dot
    // where the empty one is white.
    EXPECT_EQ(icons->GetPixelColor(3 * cell + 7 * s, 10 * s), RGB(32, 152, 48));
    EXPECT_EQ(icons->GetPixelColor(4 * cell + cell / 2, cell / 2), RGB(208, 40, 40));
    EXPECT_EQ(icons->GetPixelColor(7 * cell + cell / 2, cell / 2), RGB(0, 0, 0));
    EXPECT_EQ(icons->GetPixelColor(6 * cell + cell / 2, cell / 2), RGB(255, 255, 255));
    // The radio button's left edge: on the large screen a drawing of its own with a one-pixel
    // outline, not the small one doubled (which would be grey here).
    EXPECT_EQ(icons->GetPixelColor(6 * cell + 2 * s, cell / 2),
              IsHires() ? RGB(255, 0, 255) : RGB(128, 128, 128));
    FreeGLibControl();
    EXPECT_EQ(GetGLibIconStrip(), nullptr);
    EXPECT_EQ(GetGLibIconCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Screens, IconStrip, ::testing::Values(SIZE{240, 320}, SIZE{480, 640}));

TEST_F(GLibTest, ResetGivesTheStateOfANewProcess) {
    ScreenOf screen(480, 640);
    InitGLibControl();
    GDib frame;
    SetGlobalBtnFrame(&frame);
    SetGlobalFontDef(reinterpret_cast<HFONT>(::GetStockObject(SYSTEM_FONT)));
    HDC memory = GetGlobalMemDC();
    ASSERT_EQ(IsHires(), 1);
    ASSERT_NE(GetGLibImageList(), nullptr);
    GetRecognizeCursor().ResetCursor(100, 100);
    GetRecognizeCursor().DrawNext();
    ASSERT_EQ(GetRecognizeCursor().IsEnableCursor(), 1);
    ResetGLibState();
    EXPECT_EQ(GetGLibTextCount(), 0);
    EXPECT_EQ(GetGLibIconStrip(), nullptr);
    EXPECT_EQ(GetGLibImageList(), nullptr);
    EXPECT_EQ(GetGlobalBtnFrame(), nullptr);
    EXPECT_EQ(GetGlobalFontDef(), nullptr);
    EXPECT_EQ(GetGLibColor(3), 0u);
    EXPECT_EQ(::GetObjectType(memory), 0u);
    EXPECT_EQ(GetRecognizeCursor().IsEnableCursor(), 0);
    EXPECT_EQ(GetRecognizeCursor().GetStep(), -1);
    // The display mode is read again from the screen of now.
    plat::CreateScreenSurface(240, 320);
    EXPECT_EQ(IsHires(), 0);
}

TEST_F(GLibTest, ScreenAndMemoryContextsAreMadeOnceAndReleased) {
    HDC screen = GetGlobalScreenDC();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(GetGlobalScreenDC(), screen);
    HDC memory = GetGlobalMemDC();
    ASSERT_NE(memory, nullptr);
    EXPECT_EQ(GetGlobalMemDC(), memory);
    EXPECT_EQ(::GetObjectType(memory), static_cast<DWORD>(OBJ_MEMDC));
    FreeGLib();
    EXPECT_EQ(::GetObjectType(memory), 0u);
    EXPECT_NE(GetGlobalMemDC(), nullptr);
}

} // namespace
