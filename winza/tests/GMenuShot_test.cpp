// Screenshots of an open menu with an open submenu on both screen sizes, written to the build's
// test output for people to look at: icons, a check mark, a separator, a disabled item, the
// highlight in both menus, and a submenu that opens to the left of a menu in the right half.
#include "GMenu_test_support.h"

#include "winza/GImageList.h"

#include <filesystem>

namespace {

class GMenuShotTest : public GMenuTest {
protected:
    void SetUp() override {} // each test picks its screen

    // Opens the menu at (x, y) (sizes of the small screen), opens its submenu with a tap,
    // highlights the submenu's second item and saves the screen as name.
    void Shoot(int width, int height, int x, int y, const std::string& name) {
        StartScreen(width, height);
        x = ApplyHires(x);
        y = ApplyHires(y);
        GMenu menu, sub;
        ASSERT_TRUE(MakeMenu(menu));
        ASSERT_TRUE(MakeMenu(sub));
        GImageList* icons = GetGLibImageList();
        menu.SetMenuImage(icons, 0);
        sub.AppendMenuW(201, u"Red");
        sub.AppendMenuW(202, u"Green");
        sub.AppendMenuW(203, u"Blue");
        sub.CheckMenuItem(201, 1, 0);
        menu.AppendMenuW(101, u"Open")->SetImageIndex(icons ? 0 : -1);
        menu.AppendMenuW(102, u"Save as...")->SetImageIndex(icons ? 1 : -1);
        menu.AppendMenuW(kMenuSeparatorId, nullptr);
        menu.AppendMenuW(103, u"Show ruler");
        menu.CheckMenuItem(103, 1, 0);
        menu.AppendMenuW(&sub, u"Pen colour");
        menu.AppendMenuW(104, u"Not now");
        menu.EnableMenuItem(104, 0, 0);
        menu.AppendMenuW(105, u"Close");

        const std::string dir = SCRIBBO_TEST_OUTPUT;
        std::filesystem::create_directories(dir);
        const std::string path = dir + "/" + name;
        std::filesystem::remove(path);
        const POINT colour = ItemAt(menu, x, y, 4);
        // A first opening finds where the submenu stands: beside the parent, or left of it.
        Script(Tap(colour) + Key("ESCAPE") + Key("ESCAPE"));
        ASSERT_EQ(menu.TrackPopupGMenu(0, x, y, 0), -1);
        RECT subRect{};
        ::GetWindowRect(sub.GetSafeHwnd(), &subRect);
        const POINT green = ItemAt(sub, subRect.left, subRect.top, 1);
        Script(Tap(colour) + Move(green) + "shot " + path + "\n" + Key("ESCAPE") + Key("ESCAPE"));
        ASSERT_EQ(menu.TrackPopupGMenu(0, x, y, 0), -1);
        EXPECT_EQ(owner.closeRequests, 0);
        ASSERT_TRUE(std::filesystem::exists(path)) << path;
        EXPECT_GT(std::filesystem::file_size(path), 200u);
    }
};

TEST_F(GMenuShotTest, SmallScreen) {
    Shoot(240, 320, 16, 40, "gmenu_240x320.png");
}

TEST_F(GMenuShotTest, HighResolution) {
    Shoot(480, 640, 16, 40, "gmenu_480x640.png");
}

TEST_F(GMenuShotTest, SmallScreenSubmenuToTheLeft) {
    Shoot(240, 320, 150, 120, "gmenu_240x320_left.png");
}

TEST_F(GMenuShotTest, HighResolutionSubmenuToTheLeft) {
    Shoot(480, 640, 150, 120, "gmenu_480x640_left.png");
}

} // namespace
