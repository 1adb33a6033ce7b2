// The text field: the platform's edit control behind a Winza, its keyboard hook (Return and
// Escape reported to the parent, digits only) and the typed wrappers.
#include "winza_test_support.h"

#include "winza/GEdit.h"

#include <platform/display.h>

#include <functional>
#include <string>

namespace {

// Records WM_COMMAND from its children, and what a test wants done when one arrives.
class Owner : public LoggingWinza {
public:
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_COMMAND) {
            commands.push_back(wParam);
            if (onCommand)
                onCommand(wParam);
        }
        return LoggingWinza::WndProc(hwnd, msg, wParam, lParam);
    }
    // The commands with the given notification code in the high word.
    std::vector<WPARAM> With(WORD code) const {
        std::vector<WPARAM> out;
        for (WPARAM w : commands)
            if (HIWORD(w) == code)
                out.push_back(w);
        return out;
    }
    std::vector<WPARAM> commands;
    std::function<void(WPARAM)> onCommand;
};

// What the edit window's procedure sees, put in front of the platform's before the hook.
std::vector<std::pair<UINT, WPARAM>>* g_seen = nullptr;
WNDPROC g_platformProc = nullptr;
LRESULT CALLBACK Spy(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (g_seen && (msg == WM_KEYDOWN || msg == WM_CHAR))
        g_seen->emplace_back(msg, wParam);
    return ::CallWindowProcW(g_platformProc, hwnd, msg, wParam, lParam);
}

class EditTest : public WinzaTest {
protected:
    void SetUp() override {
        WinzaTest::SetUp();
        ASSERT_EQ(owner.Create(nullptr, u"owner", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320), 1);
        ASSERT_EQ(edit.Create(WS_VISIBLE | WS_BORDER, RECT{10, 10, 200, 34}, &owner, 77), 1);
        ::SetFocus(edit.GetSafeHwnd());
        Pump();
        owner.commands.clear();
    }
    void TearDown() override {
        g_seen = nullptr;
        // A test's handler may hold its locals; the field's last notes come while closing.
        owner.onCommand = nullptr;
        WinzaTest::TearDown();
    }
    static void Press(int vk) {
        plat::InputKey(vk, true);
        plat::InputKey(vk, false);
        Pump();
    }
    std::u16string Text() {
        WCHAR buf[256] = {};
        ::GetWindowTextW(edit.GetSafeHwnd(), buf, 256);
        return buf;
    }
    Owner owner;
    GEdit edit;
};

TEST_F(EditTest, IsAPlatformEditChildWithTheGivenId) {
    HWND h = edit.GetSafeHwnd();
    WCHAR cls[16] = {};
    ::GetClassNameW(h, cls, 16);
    EXPECT_EQ(std::u16string(cls), u"EDIT");
    EXPECT_EQ(::GetParent(h), owner.GetSafeHwnd());
    EXPECT_EQ(::GetWindowLongPtrW(h, GWL_ID), 77);
    EXPECT_NE(::GetWindowLongW(h, GWL_STYLE) & WS_CHILD, 0);
    RECT wr{}, cr{};
    ::GetWindowRect(h, &wr);
    ::GetClientRect(h, &cr);
    EXPECT_EQ(wr.right - wr.left, 190);
    EXPECT_EQ(edit.Width(), cr.right) << "the client rectangle is known without WM_CREATE";
    // The platform's own procedure runs the window; typing works without any hook.
    Press('H');
    Press('I');
    EXPECT_EQ(Text(), u"hi");
    EXPECT_EQ(edit.IsHooked(), 0);
}

// Text starts a little off the left border and the caret keeps a pixel off the letter before it.
TEST_F(EditTest, TextAndCaretKeepOffTheBorderAndTheLetters) {
    EXPECT_EQ(edit.GetMargins(), static_cast<DWORD>(MAKELONG(3, 3)));
    Press('H');
    Press('I');
    EXPECT_EQ(edit.PosFromChar(0).x, 3);
    Press(VK_LEFT);
    POINT caret{};
    ASSERT_TRUE(::GetCaretPos(&caret));
    EXPECT_EQ(caret.x, edit.PosFromChar(1).x + 1);
    Press(VK_HOME);
    ASSERT_TRUE(::GetCaretPos(&caret));
    EXPECT_EQ(caret.x, 3) << "before the first letter the caret stands at the margin";
}

TEST_F(EditTest, DigitsOnlyKeepsDigitsAndBackspace) {
    ASSERT_EQ(edit.SetNumberOnly(1), 1);
    for (int vk : {'A', '1', 'B', '2'})
        Press(vk);
    EXPECT_EQ(Text(), u"12");
    Press(VK_BACK);
    EXPECT_EQ(Text(), u"1");
    Press(VK_SPACE);
    plat::InputChar(u'x');
    plat::InputChar(u'7');
    Pump();
    EXPECT_EQ(Text(), u"17");
    // Switching the filter off keeps the hook and lets letters in again.
    ASSERT_EQ(edit.SetNumberOnly(0), 1);
    Press('C');
    EXPECT_EQ(Text(), u"17c");
}

TEST_F(EditTest, ReturnAndEscapeAreReportedBeforeTheFieldSeesThem) {
    std::vector<std::pair<UINT, WPARAM>> seen;
    g_seen = &seen;
    g_platformProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(edit.GetSafeHwnd(), GWL_WNDPROC, reinterpret_cast<LONG_PTR>(Spy)));
    size_t seenAtCommand = 99;
    owner.onCommand = [&](WPARAM) { seenAtCommand = seen.size(); };
    ASSERT_EQ(edit.SetNumberOnly(0), 1);
    Press(VK_RETURN);
    ASSERT_EQ(owner.With(GEdit::kNotifyReturn), (std::vector<WPARAM>{MAKEWPARAM(77, 0x1000)}));
    EXPECT_EQ(seenAtCommand, 0u) << "the parent hears of Return first";
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), (std::pair<UINT, WPARAM>{WM_KEYDOWN, VK_RETURN}))
        << "then the key goes on to the field";
    Press(VK_ESCAPE);
    EXPECT_EQ(owner.With(GEdit::kNotifyEscape), (std::vector<WPARAM>{MAKEWPARAM(77, 0x2000)}));
    // Other keys give no notification.
    Press('5');
    Press(VK_LEFT);
    EXPECT_EQ(owner.With(GEdit::kNotifyReturn).size() + owner.With(GEdit::kNotifyEscape).size(),
              2u);
}

TEST_F(EditTest, AFieldNeverHookedSendsNoReturnOrEscape) {
    Press(VK_RETURN);
    Press(VK_ESCAPE);
    EXPECT_TRUE(owner.With(GEdit::kNotifyReturn).empty());
    EXPECT_TRUE(owner.With(GEdit::kNotifyEscape).empty());
}

TEST_F(EditTest, HookBeforeTheWindowExistsInstallsNothing) {
    GEdit later;
    EXPECT_EQ(later.SetNumberOnly(1), 0);
    EXPECT_EQ(later.IsHooked(), 0);
    EXPECT_EQ(later.IsNumberOnly(), 0);
    ASSERT_EQ(later.Create(WS_VISIBLE, RECT{10, 50, 200, 74}, &owner, 78), 1);
    ::SetFocus(later.GetSafeHwnd());
    Press(VK_RETURN);
    Press('A');
    EXPECT_TRUE(owner.With(GEdit::kNotifyReturn).empty());
    WCHAR buf[8] = {};
    ::GetWindowTextW(later.GetSafeHwnd(), buf, 8);
    EXPECT_EQ(std::u16string(buf), u"a");
}

TEST_F(EditTest, HookingTwiceDoesNotChainTheHookOntoItself) {
    const auto platformProc = ::GetWindowLongPtrW(edit.GetSafeHwnd(), GWL_WNDPROC);
    ASSERT_EQ(edit.SetNumberOnly(1), 1);
    ASSERT_EQ(edit.SetNumberOnly(1), 1);
    EXPECT_NE(::GetWindowLongPtrW(edit.GetSafeHwnd(), GWL_WNDPROC), platformProc);
    Press('4');
    EXPECT_EQ(Text(), u"4");
    Press(VK_RETURN);
    EXPECT_EQ(owner.With(GEdit::kNotifyReturn).size(), 1u);
    EXPECT_EQ(Winza::FromHandle(edit.GetSafeHwnd()), &edit) << "found like any toolkit window";
}

TEST_F(EditTest, ParentClosingTheFieldOnReturnIsSafe) {
    ASSERT_EQ(edit.SetNumberOnly(0), 1);
    owner.onCommand = [&](WPARAM w) {
        if (HIWORD(w) == GEdit::kNotifyReturn)
            ::DestroyWindow(edit.GetSafeHwnd());
    };
    Press(VK_RETURN);
    EXPECT_EQ(edit.GetSafeHwnd() ? ::IsWindow(edit.GetSafeHwnd()) : FALSE, FALSE);
    EXPECT_EQ(owner.With(GEdit::kNotifyReturn).size(), 1u);
}

TEST_F(EditTest, RecreatedFieldReadsItsNewId) {
    ASSERT_EQ(edit.SetNumberOnly(0), 1);
    edit.Destroy();
    ASSERT_EQ(edit.Create(WS_VISIBLE, RECT{10, 10, 200, 34}, &owner, 91), 1);
    EXPECT_EQ(edit.IsHooked(), 0);
    ASSERT_EQ(edit.SetNumberOnly(0), 1);
    ::SetFocus(edit.GetSafeHwnd());
    Press(VK_ESCAPE);
    EXPECT_EQ(owner.With(GEdit::kNotifyEscape), (std::vector<WPARAM>{MAKEWPARAM(91, 0x2000)}));
}

TEST_F(EditTest, CreateNeedsAParentWindow) {
    GEdit orphan;
    EXPECT_EQ(orphan.Create(0, RECT{0, 0, 10, 10}, nullptr, 1), 0);
    LoggingWinza none;
    EXPECT_EQ(orphan.Create(0, RECT{0, 0, 10, 10}, &none, 1), 0);
    EXPECT_EQ(orphan.GetSafeHwnd(), nullptr);
    // Wrappers on a field without a window do nothing.
    EXPECT_EQ(orphan.GetLimitText(), 0u);
    WCHAR buf[4] = {u'z', 0, 0, 0};
    EXPECT_EQ(orphan.GetLine(0, buf, 4), 0);
    orphan.ReplaceSel(u"x");
    EXPECT_EQ(orphan.GetSel(), 0u);
}

TEST_F(EditTest, SelectionReplacementAndLines) {
    edit.ReplaceSel(u"hello world");
    EXPECT_EQ(Text(), u"hello world");
    edit.SetSel(0, 5);
    int s = -1, e = -1;
    edit.GetSel(s, e);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(e, 5);
    EXPECT_EQ(edit.GetSel(), static_cast<DWORD>(MAKELONG(0, 5)));
    edit.ReplaceSel(u"HELLO", 1);
    EXPECT_EQ(Text(), u"HELLO world");
    EXPECT_EQ(edit.CanUndo(), 1);
    EXPECT_EQ(edit.Undo(), 1);
    EXPECT_EQ(Text(), u"hello world");
    edit.EmptyUndoBuffer();
    EXPECT_EQ(edit.CanUndo(), 0);
    edit.SetSel(static_cast<DWORD>(MAKELONG(6, 11)), 1);
    edit.GetSel(s, e);
    EXPECT_EQ(s, 6);
    EXPECT_EQ(e, 11);
    EXPECT_EQ(edit.GetLineCount(), 1);
    EXPECT_EQ(edit.LineLength(0), 11);
    EXPECT_EQ(edit.LineIndex(0), 0);
    EXPECT_EQ(edit.LineFromChar(3), 0);
    WCHAR line[6];
    EXPECT_EQ(edit.GetLine(0, line, 6), 6);
    EXPECT_EQ(std::u16string(line, 6), u"hello ");
    WCHAR whole[32];
    EXPECT_EQ(edit.GetLine(0, whole, 32), 11);
    EXPECT_EQ(std::u16string(whole), u"hello world") << "terminated when there is room";
}

TEST_F(EditTest, LimitsModifyPasswordReadOnlyAndMargins) {
    edit.LimitText(3);
    EXPECT_EQ(edit.GetLimitText(), 3u);
    for (int vk : {'A', 'B', 'C', 'D'})
        Press(vk);
    EXPECT_EQ(Text(), u"abc");
    edit.SetLimitText(10);
    EXPECT_EQ(edit.GetLimitText(), 10u);
    EXPECT_EQ(edit.GetModify(), 1);
    edit.SetModify(0);
    EXPECT_EQ(edit.GetModify(), 0);
    edit.SetPasswordChar(u'#');
    EXPECT_EQ(edit.GetPasswordChar(), u'#');
    EXPECT_EQ(edit.SetReadOnly(1), 1);
    EXPECT_NE(::GetWindowLongW(edit.GetSafeHwnd(), GWL_STYLE) & ES_READONLY, 0);
    Press('Z');
    EXPECT_EQ(Text(), u"abc");
    edit.SetReadOnly(0);
    edit.SetMargins(3, 5);
    EXPECT_EQ(edit.GetMargins(), static_cast<DWORD>(MAKELONG(3, 5)));
    RECT r{};
    edit.GetRect(&r);
    RECT narrow{20, 2, 120, 20};
    edit.SetRect(&narrow);
    edit.GetRect(&r);
    EXPECT_EQ(r.left, 20);
    EXPECT_EQ(r.right, 120);
}

TEST_F(EditTest, PositionsAndClipboard) {
    edit.ReplaceSel(u"abcdef");
    const POINT p2 = edit.PosFromChar(2);
    const POINT p4 = edit.PosFromChar(4);
    EXPECT_GT(p4.x, p2.x);
    EXPECT_EQ(edit.CharFromPos(p4), 4);
    EXPECT_EQ(edit.PosFromChar(99).x, -1) << "a character past the end has no place";
    edit.SetSel(0, 3);
    edit.Cut();
    EXPECT_EQ(Text(), u"def");
    edit.SetSel(3, 3);
    edit.Paste();
    edit.SetSel(0, 1);
    edit.Clear();
    EXPECT_EQ(Text(), u"efabc");
}

} // namespace
