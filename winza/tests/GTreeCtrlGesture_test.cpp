// A held pen on the tree opens a context menu instead of selecting.
#include "winza/GLib.h"
#include "winza/GTreeCtrl.h"
#include "gesture_test_support.h"

#include <memory>

namespace {

class MenuTree : public GTreeCtrl {
public:
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_CONTEXTMENU) {
            ++menus;
            menuWParam = wParam;
            menuLParam = lParam;
            return 0;
        }
        return GTreeCtrl::WndProc(hwnd, msg, wParam, lParam);
    }
    int menus = 0;
    WPARAM menuWParam = 0;
    LPARAM menuLParam = 0;
};

class TreeGesture : public GestureTest {
protected:
    void SetUp() override {
        GestureTest::SetUp();
        InitGLibControl();
        ASSERT_EQ(parent.Create(nullptr, u"p", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320), 1);
        tree = std::make_unique<MenuTree>();
        tree->SetGesture(1);
        RECT r{10, 10, 210, 210};
        ASSERT_EQ(tree->Create(parent.GetSafeHwnd(), nullptr, WS_CHILD | WS_VISIBLE, r, 9), 1);
        tree->SetRoot(u"root");
        tree->UpdateScroll(0, 1);
        Pump();
    }
    void TearDown() override {
        tree.reset();
        GestureTest::TearDown();
        FreeGLibControl();
    }
    LoggingWinza parent;
    std::unique_ptr<MenuTree> tree;
};

TEST_F(TreeGesture, HoldSendsTheContextMenuAndSelectsNothing) {
    Script("wait 5000\n");
    plat::InputStylusDown(40, 20);
    Pump();
    EXPECT_EQ(tree->menus, 1);
    EXPECT_EQ(tree->menuWParam, reinterpret_cast<WPARAM>(tree->GetSafeHwnd()));
    EXPECT_EQ(tree->menuLParam, MAKELPARAM(30, 10));
    EXPECT_EQ(tree->GetSelItem(), nullptr);
}

TEST_F(TreeGesture, QuickTapSelectsTheRow) {
    Script("wait 100\nup 40 20\nwait 5000\n");
    plat::InputStylusDown(40, 20);
    Pump();
    EXPECT_EQ(tree->menus, 0);
    EXPECT_EQ(tree->GetSelItem(), tree->GetTopItem());
}

} // namespace
