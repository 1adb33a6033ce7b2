// The folder list bar on a test device: the tabs' tap and hold rules, the drop-down tree and
// its picks, the folder menu's commands on the memo store with their refusals, the password
// entry of a locked folder, and what "folder.info" keeps across a reload.
#include "scribbo/App.h"
#include "scribbo/GFolderItem.h"
#include "scribbo/GFolderListBar.h"
#include "scribbo/LanguageText.h"
#include "scribbo/MemoStore.h"
#include "scribbo/Palette.h"
#include "scribbo/Settings.h"

#include "app_bar_test_support.h"
#include "scribbo_test_support.h"
#include "winza/GFontManager.h"
#include "winza/GLib.h"

#include <TestDevice.h>
#include <platform/display.h>
#include <platform/module.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using apptest::Bytes;

// Answers the bar's questions as told and records its notices instead of showing boxes.
class ProbedBar : public GFolderListBar {
public:
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_CONTEXTMENU && swallowMenu) {
            ++menus;
            return 0;
        }
        return GFolderListBar::WndProc(hwnd, msg, wParam, lParam);
    }
    int Confirm(int text, int) override {
        asked.push_back(text);
        return answer;
    }
    void Refuse(int text, int) override { notices.push_back(text); }
    bool swallowMenu = true;
    int menus = 0;
    int answer = 1;
    std::vector<int> asked;
    std::vector<int> notices;
};

// The owner: counts folder notices and keeps the path of a memo pick.
class Owner : public LoggingWinza {
public:
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == UM_FOLDERCHANGED)
            changes.push_back(lParam);
        if (msg == UM_COPYMEMOS || msg == UM_MOVEMEMOS)
            picked.push_back({msg, reinterpret_cast<LPCWSTR>(lParam)});
        return LoggingWinza::WndProc(hwnd, msg, wParam, lParam);
    }
    std::vector<LPARAM> changes;
    std::vector<std::pair<UINT, std::u16string>> picked;
};

// Sets the screen before the bar is made: the tree takes its row sizes when it is made.
struct ScreenFirst {
    explicit ScreenFirst(SIZE size) {
        plat::StartHeadless(size.cx, size.cy);
        ResetDisplayMode();
    }
};

class FolderBar : public AppBarTest {
protected:
    explicit FolderBar(SIZE screen = SIZE{240, 320}) : first(screen) {}
    void SetUp() override {
        AppBarTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(LoadTexts(device));
        // New folders take their colours from the palette.
        ASSERT_EQ(LoadPaletteColors(plat::ThisModule()), 1);
        for (const char* f : {"A", "B", "C", "B/Inner"})
            fs::create_directories(Host(f));
    }
    // Host path of a folder of the store ("" the root).
    std::string Host(const std::string& folder) {
        return device.Host("My Documents/Pad" + (folder.empty() ? "" : "/" + folder));
    }
    static std::u16string Path(const std::string& folder) {
        std::u16string p = u"\\My Documents\\Pad";
        if (!folder.empty())
            p += u"\\";
        for (char c : folder)
            p += c == '/' ? u'\\' : char16_t(c);
        return p;
    }
    void Make(int barHeight = 23) {
        ASSERT_NO_FATAL_FAILURE(MakeOwner(owner));
        const SIZE screen = plat::ScreenSize();
        ASSERT_TRUE(
            bar.CreateBar(owner, &owner, RECT{0, 0, screen.cx, barHeight}, eGBarHorizontal));
        bar.LoadTree();
        Pump();
        owner.changes.clear();
    }
    std::u16string Listed() const { return bar.GetFolderPath(); }
    // The tab of a folder, -1 when it has none.
    int TabOf(const char16_t* label) {
        for (int i = 0; i < bar.GetTabCount(); ++i) {
            GItem* item = bar.GetTree()->GetGItem(bar.GetTabItem(i));
            if (item && std::u16string(item->GetLabel()) == label)
                return i;
        }
        return -1;
    }
    static POINT Centre(RECT r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
    // A press whose tap-and-hold check plays the script.
    void Press(POINT pt, const std::string& script) {
        Script(script + "wait 60000\n");
        plat::InputStylusDown(pt.x, pt.y);
        Pump();
        plat::UnloadInputScript();
        Pump();
    }
    void TapTab(int index) {
        const POINT pt = Centre(bar.GetTabRect(index));
        Press(pt, "wait 100\nup " + std::to_string(pt.x) + " " + std::to_string(pt.y) + "\n");
    }
    void HoldTab(int index) {
        const POINT pt = Centre(bar.GetTabRect(index));
        Press(pt, "wait 1000\n");
        plat::InputStylusUp(pt.x, pt.y);
        Pump();
    }
    // The remembered subfolder name in a folder's "folder.info", read from its bytes.
    std::u16string Remembered(const std::string& folder) {
        const Bytes b = apptest::ReadHost(Host(folder) + "/folder.info");
        if (b.size() < 20)
            return u"?";
        const DWORD n = b[16] | b[17] << 8;
        std::u16string name;
        for (DWORD i = 0; i < n && 21 + 2 * i < b.size(); ++i)
            name += char16_t(b[20 + 2 * i] | b[21 + 2 * i] << 8);
        return name;
    }
    // A command run with the script playing in its modal entry.
    void Run(int command, const std::string& script) {
        Script(script);
        bar.DoCommand(command);
        plat::UnloadInputScript();
        Pump();
    }

    ScreenFirst first;
    TestDevice device;
    Owner owner;
    ProbedBar bar;
};

TEST_F(FolderBar, TabsListTheCurrentFolderOrTheSubfolderTapped) {
    Make();
    ASSERT_EQ(Listed(), Path(""));
    ASSERT_EQ(bar.GetTabCount(), 4); // the root's own tab, then A, B, C
    TapTab(TabOf(u"B"));
    EXPECT_EQ(Listed(), Path("B"));
    EXPECT_EQ(Remembered(""), u"B");
    // A brief tap on the selected subfolder keeps it; a hold opens the menu.
    TapTab(TabOf(u"B"));
    EXPECT_EQ(Listed(), Path("B"));
    EXPECT_EQ(bar.menus, 0);
    HoldTab(TabOf(u"B"));
    EXPECT_EQ(bar.menus, 1);
    EXPECT_EQ(Listed(), Path("B"));
    // The current folder's own tab lists it again and forgets the subfolder.
    TapTab(0);
    EXPECT_EQ(Listed(), Path(""));
    EXPECT_EQ(bar.GetSelItem(), nullptr);
    EXPECT_EQ(Remembered(""), u"");
    EXPECT_EQ(bar.menus, 1);
    HoldTab(0);
    EXPECT_EQ(bar.menus, 2);
    EXPECT_EQ(owner.changes.size(), 3u) << "every tap lists a folder, no hold does";
}

TEST_F(FolderBar, OpeningAFolderSelectsItsRememberedSubfolder) {
    // Built from the file's layout: version 2, 2, colour, not locked, "Inner".
    Bytes info;
    for (DWORD v : {2u, 2u, 0x00C0FFEEu, 0u, 5u})
        apptest::Put32(info, v);
    apptest::PutText(info, u"Inner");
    apptest::WriteHost(Host("B") + "/folder.info", info);
    Make();
    bar.SetCurFolder(Path("B").c_str(), 1);
    EXPECT_EQ(Listed(), Path("B/Inner"));
    EXPECT_EQ(owner.changes, (std::vector<LPARAM>{0}));
    ASSERT_TRUE(bar.IsCommandOffered(ID_FOLDER_OPEN));
    bar.DoCommand(ID_FOLDER_OPEN);
    EXPECT_EQ(Listed(), Path("B/Inner"));
    EXPECT_EQ(bar.GetSelItem(), nullptr);
    // Up twice reaches the root, where going up is not offered.
    bar.DoCommand(ID_FOLDER_UP);
    EXPECT_EQ(Listed(), Path("B/Inner")) << "B opens with Inner selected again";
    bar.DoCommand(ID_FOLDER_UP);
    EXPECT_EQ(bar.GetCurItem(), bar.GetTree()->GetTopItem());
    EXPECT_FALSE(bar.IsCommandOffered(ID_FOLDER_UP));
    // Nor is anything that would rename, move or remove the store's root.
    TapTab(0);
    for (int id : {ID_FOLDER_RENAME, ID_FOLDER_MOVE, ID_FOLDER_MERGE, ID_FOLDER_DELETE})
        EXPECT_FALSE(bar.IsCommandOffered(id)) << id;
    EXPECT_TRUE(bar.IsCommandOffered(ID_FOLDER_NEW));
}

TEST_F(FolderBar, DropDownOpensBelowTheBarAndActsOnThePick) {
    Make();
    const POINT button = Centre(bar.GetFolderButtonRect());
    // Held, the folder button opens the menu instead.
    Press(button, "wait 1000\n");
    plat::InputStylusUp(button.x, button.y);
    Pump();
    EXPECT_EQ(bar.menus, 1);
    EXPECT_FALSE(bar.IsDropDownShown());
    Press(button, "wait 100\nup " + std::to_string(button.x) + " 5\n");
    ASSERT_TRUE(bar.IsDropDownShown());
    RECT tree{};
    ::GetWindowRect(*bar.GetTree(), &tree);
    const RECT expected{2, 22, 182, 262};
    EXPECT_TRUE(::EqualRect(&tree, &expected));
    EXPECT_EQ(::GetFocus(), bar.GetTree()->GetSafeHwnd());
    // A pick in mode 0 lists the folder and closes the tree.
    GFolderTree* t = bar.GetTree();
    POSITION c = t->FindChildItem(t->GetTopItem(), u"C");
    ::SendMessageW(bar, kMsgTreeChosen, reinterpret_cast<WPARAM>(c), GFolderListBar::kTreeId);
    EXPECT_FALSE(bar.IsDropDownShown());
    EXPECT_FALSE(::IsWindowVisible(*bar.GetTree()));
    EXPECT_EQ(Listed(), Path("C"));
    // Picks for the owner's memos send it the folder, then the mode returns to 0.
    struct Case {
        int mode;
        UINT message;
    } cases[] = {{eFolderPickCopyMemos, UM_COPYMEMOS}, {eFolderPickMoveMemos, UM_MOVEMEMOS}};
    for (const Case& k : cases) {
        bar.StartPick(k.mode);
        EXPECT_TRUE(bar.IsDropDownShown());
        POSITION a = t->FindChildItem(t->GetTopItem(), u"A");
        ::SendMessageW(bar, kMsgTreeChosen, reinterpret_cast<WPARAM>(a), GFolderListBar::kTreeId);
        EXPECT_EQ(bar.GetPickMode(), eFolderPickList);
        ASSERT_FALSE(owner.picked.empty());
        EXPECT_EQ(owner.picked.back().first, k.message);
        EXPECT_EQ(owner.picked.back().second, Path("A"));
    }
    EXPECT_EQ(Listed(), Path("C")) << "a memo pick lists nothing new";
    // Escape in the tree closes it without a pick; a lost focus closes it a moment later.
    bar.ShowDropDown(1);
    ::SendMessageW(bar, kMsgTreeChosen, 0, GFolderListBar::kTreeId);
    EXPECT_FALSE(bar.IsDropDownShown());
    bar.StartPick(eFolderPickCopyMemos);
    ::SendMessageW(bar, kMsgTreeLostFocus, 0, GFolderListBar::kTreeId);
    clock.Advance(GFolderListBar::kHideMs);
    Pump();
    EXPECT_FALSE(bar.IsDropDownShown());
    EXPECT_EQ(bar.GetPickMode(), eFolderPickList);
}

TEST_F(FolderBar, NewRenameAndDeleteChangeTheStoreOrAreRefused) {
    Make();
    Run(ID_FOLDER_NEW, "type Fresh\nkey Return\n");
    ASSERT_TRUE(fs::is_directory(Host("Fresh")));
    const Bytes info = apptest::ReadHost(Host("Fresh") + "/folder.info");
    ASSERT_EQ(info.size(), 20u);
    for (int channel = 8; channel < 11; ++channel)
        EXPECT_GE(info[channel], 0xA0) << "a new folder's colour is light";
    EXPECT_GE(TabOf(u"Fresh"), 0);
    // A name that exists, or that no folder may have, makes nothing.
    Run(ID_FOLDER_NEW, "type A\nkey Return\n");
    Run(ID_FOLDER_NEW, "type a:b\nkey Return\n");
    EXPECT_FALSE(fs::exists(Host("a:b")));
    EXPECT_EQ(bar.GetTabCount(), 5);

    TapTab(TabOf(u"B"));
    Run(ID_FOLDER_RENAME, "key End\ntype ee\nkey Return\n");
    EXPECT_FALSE(fs::exists(Host("B")));
    EXPECT_TRUE(fs::exists(Host("Bee/Inner")));
    EXPECT_EQ(Listed(), Path("Bee"));
    EXPECT_EQ(Remembered(""), u"Bee");
    Run(ID_FOLDER_RENAME, "key End\nkey Back\nkey Back\nkey Back\ntype C\nkey Return\n");
    EXPECT_TRUE(fs::exists(Host("Bee")));
    EXPECT_EQ(Listed(), Path("Bee"));

    // Delete asks first; a cancelled question keeps the folder.
    bar.answer = 0;
    bar.DoCommand(ID_FOLDER_DELETE);
    EXPECT_TRUE(fs::exists(Host("Bee")));
    bar.answer = 1;
    bar.DoCommand(ID_FOLDER_DELETE);
    EXPECT_FALSE(fs::exists(Host("Bee")));
    EXPECT_EQ(bar.asked, (std::vector<int>{16, 16}));
    EXPECT_EQ(Listed(), Path(""));
    EXPECT_EQ(TabOf(u"Bee"), -1);
    EXPECT_EQ(Remembered(""), u"");
}

TEST_F(FolderBar, MoveAndMergeGoThroughTheTreeAndRefuseAFolderIntoItself) {
    std::ofstream(Host("B") + "/20070315_093000.pad") << "memo";
    Make();
    GFolderTree* t = bar.GetTree();
    auto pick = [&](const std::u16string& path) {
        ::SendMessageW(bar, kMsgTreeChosen,
                       reinterpret_cast<WPARAM>(FindFolderItem(t, path.c_str())),
                       GFolderListBar::kTreeId);
    };
    TapTab(TabOf(u"B"));
    bar.DoCommand(ID_FOLDER_MOVE);
    EXPECT_EQ(bar.GetPickMode(), eFolderPickMove);
    EXPECT_TRUE(bar.IsDropDownShown());
    pick(Path("B/Inner"));
    EXPECT_EQ(bar.notices, (std::vector<int>{17}));
    EXPECT_TRUE(bar.asked.empty());
    EXPECT_TRUE(fs::exists(Host("B")));

    bar.DoCommand(ID_FOLDER_MOVE);
    pick(Path("C"));
    EXPECT_EQ(bar.asked, (std::vector<int>{18}));
    EXPECT_FALSE(fs::exists(Host("B")));
    EXPECT_TRUE(fs::exists(Host("C/B/Inner")));
    EXPECT_EQ(Listed(), Path("C/B"));
    EXPECT_NE(FindFolderItem(t, Path("C/B/Inner").c_str()), nullptr);

    // Merge: C's content (B and its memo) goes into A, and C is gone.
    bar.SetCurFolder(Path("").c_str(), 0);
    TapTab(TabOf(u"C"));
    bar.DoCommand(ID_FOLDER_MERGE);
    EXPECT_EQ(bar.GetPickMode(), eFolderPickMerge);
    pick(Path("A"));
    EXPECT_EQ(bar.asked, (std::vector<int>{18, 19}));
    EXPECT_FALSE(fs::exists(Host("C")));
    EXPECT_TRUE(fs::exists(Host("A/B/20070315_093000.pad")));
    EXPECT_EQ(Listed(), Path("A"));
    EXPECT_EQ(bar.GetPickMode(), eFolderPickList);
}

TEST_F(FolderBar, ColourAndLockSurviveAReload) {
    Make();
    TapTab(TabOf(u"A"));
    bar.SetFolderColor(0x123456);
    bar.DoCommand(ID_FOLDER_LOCK);
    EXPECT_TRUE(bar.IsLocked());
    EXPECT_EQ(owner.changes.back(), 0);
    // The bytes on disk: version 2, 2, the colour and the lock.
    const Bytes info = apptest::ReadHost(Host("A") + "/folder.info");
    Bytes head;
    for (DWORD v : {2u, 2u, 0x123456u, 1u, 0u})
        apptest::Put32(head, v);
    EXPECT_EQ(info, head);

    bar.LoadTree();
    EXPECT_EQ(Listed(), Path("A"));
    EXPECT_EQ(bar.GetFolderColor(), COLORREF(0x123456));
    EXPECT_TRUE(bar.IsLocked());
    EXPECT_FALSE(bar.IsCommandOffered(ID_FOLDER_LOCK));
    bar.Unlock();
    EXPECT_FALSE(bar.IsLocked()) << "lifted for this listing";
    TapTab(0);
    TapTab(TabOf(u"A"));
    EXPECT_TRUE(bar.IsLocked()) << "and back when listed again";
    bar.Unlock();
    bar.DoCommand(ID_FOLDER_UNLOCK);
    bar.LoadTree();
    EXPECT_FALSE(bar.IsLocked());
    EXPECT_EQ(bar.GetFolderColor(), COLORREF(0x123456));
}

TEST_F(FolderBar, ALockedFolderAsksForThePasswordTwice) {
    struct Case {
        const char* script;
        std::vector<int> notices;
        bool unlocked;
    } cases[] = {
        {"type 5826\nkey Return\n", {}, true},
        {"type 1111\nkey Return\ntype 2222\nkey Return\n", {15, 14}, false},
        {"key Return\nkey Return\n", {12, 13}, false},
        {"type 1111\nkey Return\ntype 5826\nkey Return\n", {15}, true},
        {"key Escape\n", {}, false},
    };
    Make();
    TapTab(TabOf(u"C"));
    bar.DoCommand(ID_FOLDER_LOCK);
    bar.swallowMenu = false;
    for (const Case& c : cases) {
        bar.LoadTree();
        ASSERT_TRUE(bar.IsLocked());
        bar.notices.clear();
        owner.changes.clear();
        Script(c.script);
        ::SendMessageW(bar, WM_CONTEXTMENU, 0, MAKELPARAM(10, 10));
        plat::UnloadInputScript();
        EXPECT_EQ(bar.notices, c.notices) << c.script;
        EXPECT_EQ(!bar.IsLocked(), c.unlocked) << c.script;
        EXPECT_EQ(owner.changes, c.unlocked ? std::vector<LPARAM>{1} : std::vector<LPARAM>{})
            << c.script;
    }
}

TEST_F(FolderBar, ScrollArrowsBringHiddenTabsIn) {
    for (const char* f : {"D", "E", "F"})
        fs::create_directories(Host(f));
    Make();
    ASSERT_EQ(bar.GetTabCount(), 7);
    const int last = bar.GetTabCount() - 1;
    EXPECT_EQ(bar.GetTabRect(last).right, 0) << "F is scrolled out";
    auto whole = [&](int tab) {
        const RECT r = bar.GetTabRect(tab);
        return r.right > r.left && r.right < bar.GetRightArrowRect().left;
    };
    // The arrows scroll on the pen's press, one tab at a time.
    auto press = [&](RECT arrow) {
        const POINT pt = Centre(arrow);
        plat::InputStylusDown(pt.x, pt.y);
        Pump();
        plat::InputStylusUp(pt.x, pt.y);
        Pump();
    };
    int presses = 0;
    while (!whole(last) && presses < 10) {
        press(bar.GetRightArrowRect());
        ++presses;
    }
    EXPECT_TRUE(whole(last));
    EXPECT_EQ(bar.GetTabOffset(), presses);
    // The current folder's tab stays; more presses scroll no further.
    EXPECT_TRUE(whole(0));
    press(bar.GetRightArrowRect());
    EXPECT_EQ(bar.GetTabOffset(), presses);
    press(bar.GetLeftArrowRect());
    EXPECT_EQ(bar.GetTabOffset(), presses - 1);
    ASSERT_TRUE(whole(TabOf(u"E")));
    // A remembered subfolder opens in view.
    TapTab(TabOf(u"E"));
    EXPECT_EQ(Listed(), Path("E"));
    bar.SetCurFolder(Path("A").c_str(), 0);
    bar.SetCurFolder(Path("").c_str(), 0);
    EXPECT_EQ(Listed(), Path("E"));
    EXPECT_TRUE(whole(TabOf(u"E")));
}

std::string ShotPath(const std::string& name) {
    const std::string dir = SCRIBBO_TEST_OUTPUT;
    fs::create_directories(dir);
    return dir + "/" + name + ".png";
}

class FolderBarPicture : public FolderBar, public ::testing::WithParamInterface<SIZE> {
protected:
    FolderBarPicture() : FolderBar(GetParam()) {}
};

TEST_P(FolderBarPicture, ShowsTheFolderButtonTabsAndTree) {
    const SIZE size = GetParam();
    const int hires = size.cx > 320;
    const int b = hires ? 2 : 1;
    Screen(size.cx, size.cy);
    Make(hires ? 46 : 23);
    TapTab(TabOf(u"A"));
    bar.SetFolderColor(0x40C0FF);
    Pump();
    const std::string name =
        "folder_bar_" + std::to_string(size.cx) + "x" + std::to_string(size.cy);
    HDC screen = ::GetDC(nullptr);
    EXPECT_TRUE(plat::SaveSurfacePng(screen, ShotPath(name)));
    // The listed tab is filled with its folder's colour down to the bar's bottom; the others
    // with theirs, above the bar's bottom line.
    const RECT listed = bar.GetTabRect(TabOf(u"A"));
    const RECT other = bar.GetTabRect(TabOf(u"B"));
    const COLORREF otherColour = ScreenPixel(other.left + 2 * b, other.bottom - 3 * b);
    EXPECT_EQ(::GetPixel(screen, listed.left + 2 * b, listed.bottom), COLORREF(0x40C0FF));
    EXPECT_EQ(::GetPixel(screen, other.left + 2 * b, other.bottom + b - 1), GetGLibColor(5));
    EXPECT_NE(otherColour, COLORREF(0x40C0FF));
    EXPECT_NE(otherColour, GetGLibColor(3));
    // The label is drawn in the tab: dark ink inside it.
    int ink = 0;
    for (COLORREF c : Grab(listed))
        ink += GetRValue(c) < 80 && GetGValue(c) < 80 && GetBValue(c) < 80;
    EXPECT_GT(ink, 5 * b);
    // The closed folder button in the bar's colour; open, it turns white over the tree.
    const RECT button = bar.GetFolderButtonRect();
    EXPECT_EQ(::GetPixel(screen, button.right - 4 * b, button.top + 2 * b), GetGLibColor(3));
    bar.ShowDropDown(1);
    Pump();
    EXPECT_TRUE(plat::SaveSurfacePng(screen, ShotPath(name + "_tree")));
    EXPECT_EQ(::GetPixel(screen, button.right - 4 * b, button.top + 2 * b), COLORREF(0xFFFFFF));
    RECT tree{};
    ::GetWindowRect(*bar.GetTree(), &tree);
    EXPECT_EQ(tree.right - tree.left, hires ? 360 : 180);
    EXPECT_EQ(tree.bottom - tree.top, hires ? 480 : 240);
    // A's row shows a folder in A's colour.
    GItem* row = bar.GetTree()->GetGItem(bar.GetSelItem());
    ASSERT_NE(row, nullptr);
    RECT r = row->GetItemRect();
    ::MapWindowPoints(*bar.GetTree(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    int tinted = 0;
    for (COLORREF c : Grab(r))
        tinted += c == COLORREF(0x40C0FF);
    EXPECT_GT(tinted, 20 * b * b);
    ::ReleaseDC(nullptr, screen);
}

INSTANTIATE_TEST_SUITE_P(Screens, FolderBarPicture,
                         ::testing::Values(SIZE{240, 320}, SIZE{480, 640}));

} // namespace
