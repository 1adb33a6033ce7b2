// The list side in the running program: folders (new, move a memo in, colour, lock and
// unlock with the password), date navigation with the calendar, and the options dialog.
#include "acceptance_support.h"

#include <gtest/gtest.h>

#include <fstream>

namespace acceptance {
namespace {

constexpr COLORREF kPaper = RGB(255, 255, 192);

// A new memo with one stroke, closed with Enter: the list shows it in its first row.
Script& WriteMemo(Script& script, const Screen& s) {
    return script.Wait(200)
        .Tap(s.newMemo)
        .Wait(200)
        .Stroke(s.PageToScreen(30, 40), s.PageToScreen(150, 60))
        .Key("RETURN")
        .Wait(300);
}

// The memo WriteMemo left: one page holding its one pen stroke, in the folder given.
void ExpectWrittenMemo(const Device& device, const std::string& folder) {
    const std::vector<std::string> memos = device.Memos();
    ASSERT_EQ(memos.size(), 1u);
    EXPECT_EQ(memos[0], device.Host(folder + "/20240101_000000.pad"));
    const padtool::Json memo = device.Dump(memos[0]);
    ASSERT_EQ(PageCount(memo), 1);
    ASSERT_EQ(Objects(memo, 0).size(), 1u);
    EXPECT_EQ(Int(Objects(memo, 0)[0], "stroke_type"), 0);
}

// Pixels of the first row (or grid cell) in the memo's paper colour.
int FirstEntry(const Device& device, const std::string& shot) {
    const Screen& s = device.screen;
    const TestPicture p = device.Picture(shot);
    return CountNear(p, 8, s.firstRow.y - 8, s.width - 8, s.firstRow.y + 8, kPaper, 0);
}

class ListSide : public ::testing::TestWithParam<Screen> {};

TEST_P(ListSide, AMemoMovesIntoANewFolderThatIsColouredLockedAndUnlocked) {
    const Screen& s = GetParam();
    Device device(s);
    Script script;
    WriteMemo(script, s).Shot(device.ShotPath("written"));
    script.Hold(s.folderButton).Tap(s.MenuRow(s.folderButton, 0)).Type("Work").Key("RETURN");
    script.Wait(200).Shot(device.ShotPath("folder"));
    // The memo's own menu moves it; the folder is picked in the tree with a double tap.
    script.Hold(s.firstRow).Tap(s.MenuRow(s.firstRow, 3)).Wait(100).Shot(device.ShotPath("tree"));
    script.DoubleTap(s.treeSecond).Wait(200).Shot(device.ShotPath("moved"));
    script.Tap(s.secondTab).Wait(200).Shot(device.ShotPath("work"));
    const Pt swatch{s.firstSwatch.x, s.firstSwatch.y + 5 * s.swatchStep};
    script.Hold(s.secondTab)
        .Tap(s.MenuRow(s.secondTab, 2))
        .Wait(100)
        .Shot(device.ShotPath("colours"));
    script.Tap(swatch).Wait(200).Shot(device.ShotPath("coloured"));
    // Locked, the list asks for the password; a wrong one first, then the right one.
    script.Hold(s.secondTab)
        .Tap(s.MenuRow(s.secondTab, 3))
        .Wait(200)
        .Shot(device.ShotPath("locked"));
    script.Type("1111").Key("RETURN").Wait(100).Shot(device.ShotPath("wrong"));
    script.Wait(3000).Type("5826").Key("RETURN").Wait(300).Shot(device.ShotPath("unlocked"));
    ASSERT_EQ(device.Run(script), 0);

    ExpectWrittenMemo(device, "My Documents/Pad/Work");
    // folder.info: version 2, 2, the colour, locked.
    std::ifstream info(device.Host("My Documents/Pad/Work/folder.info"), std::ios::binary);
    DWORD head[4] = {};
    ASSERT_TRUE(info.read(reinterpret_cast<char*>(head), sizeof head));
    EXPECT_EQ(head[0], 2u);
    EXPECT_EQ(head[3], 1u) << "locked";
    const COLORREF colour = head[2];

    EXPECT_GT(FirstEntry(device, "written"), s.width * 8);
    EXPECT_EQ(FirstEntry(device, "moved"), 0) << "the memo left the root";
    EXPECT_GT(FirstEntry(device, "work"), s.width * 8);
    // The chosen colour is the folder's: its tab shows it, and it was not the colour before.
    const Pt tab = s.secondTab;
    const int half = 10 * s.scale;
    EXPECT_GT(CountNear(device.Picture("coloured"), tab.x - half, tab.y - half, tab.x + half,
                        tab.y + half, colour, 0),
              half * half);
    EXPECT_EQ(CountNear(device.Picture("work"), tab.x - half, tab.y - half, tab.x + half,
                        tab.y + half, colour, 0),
              0);
    EXPECT_EQ(FirstEntry(device, "locked"), 0);
    // The notice stands over the middle of the list.
    const TestPicture locked = device.Picture("locked"), wrong = device.Picture("wrong");
    int changed = 0;
    for (int y = s.height / 3; y < s.height * 2 / 3; ++y)
        for (int x = 0; x < s.width; ++x)
            changed += locked.At(x, y) != wrong.At(x, y);
    EXPECT_GT(changed, s.width * s.height / 10);
    EXPECT_GT(FirstEntry(device, "unlocked"), s.width * 8);
}

TEST_P(ListSide, DateNavigationWeeksAndTheCalendar) {
    const Screen& s = GetParam();
    Device device(s);
    Script script;
    WriteMemo(script, s).Tap(s.naviMode).Wait(200).Shot(device.ShotPath("dates"));
    script.Tap(s.nextWeek).Wait(200).Shot(device.ShotPath("next-week"));
    script.Tap(s.dateButton).Wait(200).Shot(device.ShotPath("calendar"));
    script.Tap(s.calendarFirstMonday).Wait(200).Shot(device.ShotPath("picked"));
    ASSERT_EQ(device.Run(script), 0);
    ExpectWrittenMemo(device, "My Documents/Pad");

    EXPECT_GT(FirstEntry(device, "dates"), s.width * 8);
    EXPECT_EQ(FirstEntry(device, "next-week"), 0);
    // The calendar drops down below the date over the list.
    const TestPicture week = device.Picture("next-week"), calendar = device.Picture("calendar");
    int changed = 0;
    for (int y = s.firstRow.y; y < s.firstRow.y + 80 * s.scale; ++y)
        for (int x = 0; x < s.width / 2; ++x)
            changed += week.At(x, y) != calendar.At(x, y);
    EXPECT_GT(changed, 30 * 60 * s.scale * s.scale);
    EXPECT_GT(FirstEntry(device, "picked"), s.width * 8);
    EXPECT_NE(device.Registry().find("\"TVNaviMode\"=dword:00000002"), std::string::npos);
}

TEST_P(ListSide, TheOptionsDialogChangesTheRowHeight) {
    const Screen& s = GetParam();
    Device device(s);
    Script script;
    WriteMemo(script, s).Shot(device.ShotPath("written"));
    script.Tap(s.options).Wait(200).Shot(device.ShotPath("options"));
    script.Tap(s.rowHeightUp).Wait(100).Shot(device.ShotPath("taller"));
    script.Tap(s.optionsOk).Wait(300).Shot(device.ShotPath("after"));
    ASSERT_EQ(device.Run(script), 0);
    ExpectWrittenMemo(device, "My Documents/Pad");

    // The row in the paper colour grows from the default height.
    const auto rowHeight = [&](const std::string& shot) {
        const TestPicture p = device.Picture(shot);
        int rows = 0;
        for (int y = 0; y < s.height; ++y)
            rows += p.At(s.width / 2, y) == kPaper;
        return rows;
    };
    const int before = rowHeight("written");
    const int after = rowHeight("after");
    EXPECT_GT(after, before);
    const std::string registry = device.Registry();
    const size_t at = registry.find("\"TitleHeight\"=dword:");
    ASSERT_NE(at, std::string::npos);
    const unsigned long height = std::stoul(registry.substr(at + 20, 8), nullptr, 16);
    EXPECT_GT(height, s.scale * 40u);
}

INSTANTIATE_TEST_SUITE_P(Screens, ListSide, ::testing::ValuesIn(kScreens),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace acceptance
