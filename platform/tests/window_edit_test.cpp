// The system edit control: typing and keys, selection by keys and stylus, password display,
// the limit, the clipboard, notifications to the parent and a program's own window procedure
// in front of it.
#include "window_test_support.h"

#include <algorithm>
#include <string>

namespace {

class EditTest : public WindowTest {
public:
    HWND parent = nullptr;

    void SetUp() override {
        WindowTest::SetUp();
        parent = Make(WS_POPUP | WS_VISIBLE, 0, 0, 240, 200);
    }

    HWND MakeEdit(DWORD style, int x = 10, int y = 10, int w = 200, int h = 24, int id = 7,
                  const char16_t* text = u"") {
        return CreateWindowExW(0, u"EDIT", text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }

    static std::u16string Text(HWND edit) {
        WCHAR buf[256] = {};
        GetWindowTextW(edit, buf, 256);
        return buf;
    }

    static std::pair<int, int> Sel(HWND edit) {
        DWORD s = 0, e = 0;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
        return {static_cast<int>(s), static_cast<int>(e)};
    }

    static void Type(const std::u16string& s) {
        for (char16_t c : s)
            plat::InputChar(c);
        Pump();
    }

    static void Key(int vk) {
        plat::InputKey(vk, true);
        plat::InputKey(vk, false);
        Pump();
    }

    static int CharX(HWND edit, int i) {
        return GET_X_LPARAM(SendMessageW(edit, EM_POSFROMCHAR, static_cast<WPARAM>(i), 0));
    }

    // Notifications the parent got from the control with this id, in order.
    std::vector<WORD> Notes(int id) const {
        std::vector<WORD> out;
        for (const LoggedMsg& m : log)
            if (m.hwnd == parent && m.msg == WM_COMMAND && LOWORD(m.wParam) == id)
                out.push_back(HIWORD(m.wParam));
        return out;
    }
    int NoteCount(int id, WORD code) const {
        int n = 0;
        for (WORD c : Notes(id))
            n += c == code ? 1 : 0;
        return n;
    }
};

TEST_F(EditTest, TypingAndEditingKeysChangeTheTextAtTheCaret) {
    HWND edit = MakeEdit(0);
    SetFocus(edit);
    Pump();
    Type(u"abcd");
    EXPECT_EQ(Text(edit), u"abcd");
    EXPECT_EQ(Sel(edit), std::make_pair(4, 4));
    Key(VK_LEFT);
    Key(VK_LEFT);
    Type(u"X");
    EXPECT_EQ(Text(edit), u"abXcd");
    Key(VK_BACK);
    EXPECT_EQ(Text(edit), u"abcd");
    Key(VK_DELETE);
    EXPECT_EQ(Text(edit), u"abd");
    Key(VK_HOME);
    Key(VK_BACK); // nothing before the start
    Type(u"1");
    Key(VK_END);
    Key(VK_DELETE); // nothing after the end
    Type(u"2");
    EXPECT_EQ(Text(edit), u"1abd2");
    EXPECT_EQ(GetWindowTextLengthW(edit), 5);
    // Line breaks and tabs have no place in one line.
    Type(u"\r\t");
    EXPECT_EQ(Text(edit), u"1abd2");
}

TEST_F(EditTest, NotifiesFocusAndEveryChangeToTheParent) {
    HWND edit = MakeEdit(0, 10, 10, 200, 24, 42);
    Pump();
    log.clear();
    SetFocus(edit);
    Type(u"ab");
    SetWindowTextW(edit, u"new");
    SetFocus(parent);
    Pump();
    std::vector<WORD> notes = Notes(42);
    ASSERT_FALSE(notes.empty());
    EXPECT_EQ(notes.front(), EN_SETFOCUS);
    EXPECT_EQ(notes.back(), EN_KILLFOCUS);
    EXPECT_EQ(NoteCount(42, EN_CHANGE), 3);
    // The control's handle comes with each notification.
    for (const LoggedMsg& m : log) {
        if (m.hwnd == parent && m.msg == WM_COMMAND) {
            EXPECT_EQ(m.lParam, reinterpret_cast<LPARAM>(edit));
        }
    }
}

TEST_F(EditTest, ShiftArrowsSelectAndTypingReplacesTheSelection) {
    HWND edit = MakeEdit(0, 10, 10, 200, 24, 7, u"hello world");
    SetFocus(edit);
    Pump();
    EXPECT_EQ(Sel(edit), std::make_pair(0, 0));
    plat::InputKey(VK_SHIFT, true);
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    Key(VK_LEFT);
    plat::InputKey(VK_SHIFT, false);
    Pump();
    EXPECT_EQ(Sel(edit), std::make_pair(0, 2));
    Type(u"J");
    EXPECT_EQ(Text(edit), u"Jllo world");
    // Shift+End takes the rest; a plain arrow drops the selection at its edge.
    plat::InputKey(VK_SHIFT, true);
    Key(VK_END);
    plat::InputKey(VK_SHIFT, false);
    Pump();
    EXPECT_EQ(Sel(edit), std::make_pair(1, 10));
    Key(VK_LEFT);
    EXPECT_EQ(Sel(edit), std::make_pair(1, 1));
    SendMessageW(edit, EM_SETSEL, 3, 1); // anchor 3, caret 1
    EXPECT_EQ(Sel(edit), std::make_pair(1, 3));
    SendMessageW(edit, EM_SETSEL, 2, -1);
    EXPECT_EQ(Sel(edit), std::make_pair(2, 10));
    SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(Sel(edit), std::make_pair(10, 10));
    EXPECT_EQ(SendMessageW(edit, EM_GETSEL, 0, 0), MAKELONG(10, 10));
}

TEST_F(EditTest, StylusTapPlacesTheCaretAndDragSelects) {
    HWND edit = MakeEdit(0, 10, 10, 200, 24, 7, u"abcdefgh");
    Pump();
    int x1 = CharX(edit, 1), x5 = CharX(edit, 5);
    ASSERT_LT(x1, x5);
    // The control's client area starts at (10, 10) on the screen.
    plat::InputStylusDown(10 + x1 + 1, 20);
    plat::InputStylusUp(10 + x1 + 1, 20);
    Pump();
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(Sel(edit), std::make_pair(1, 1));
    plat::InputStylusDown(10 + x5, 20);
    plat::InputStylusMove(10 + x1, 20);
    plat::InputStylusMove(10 + x1, 60); // outside, still captured
    plat::InputStylusUp(10 + x1, 60);
    Pump();
    EXPECT_EQ(Sel(edit), std::make_pair(1, 5));
    EXPECT_EQ(GetCapture(), nullptr);
    // Typing replaces what the drag selected.
    Type(u"-");
    EXPECT_EQ(Text(edit), u"a-fgh");
}

TEST_F(EditTest, SelectionIsDrawnInvertedOnlyWhileFocused) {
    HWND edit = MakeEdit(0, 10, 10, 200, 24, 7, u"WWWW");
    SetFocus(edit);
    Pump();
    HideCaret(edit);
    int xEnd = CharX(edit, 4);
    auto column = [&](int x) {
        std::vector<COLORREF> c;
        for (int y = 10; y < 34; ++y)
            c.push_back(ScreenPixel(10 + x, y));
        return c;
    };
    std::vector<COLORREF> plain = column(xEnd / 2);
    std::vector<COLORREF> after = column(xEnd + 4);
    SendMessageW(edit, EM_SETSEL, 0, 4);
    Pump();
    std::vector<COLORREF> selected = column(xEnd / 2);
    int inverted = 0;
    for (size_t i = 0; i < plain.size(); ++i)
        inverted += selected[i] == (plain[i] ^ 0xFFFFFF) ? 1 : 0;
    // The selection covers the text's line, which is most of this control's height.
    EXPECT_GE(inverted, 10);
    EXPECT_EQ(column(xEnd + 4), after);
    SetFocus(parent);
    Pump();
    EXPECT_EQ(column(xEnd / 2), plain);
}

TEST_F(EditTest, PasswordShowsOnlyThePasswordCharacter) {
    HWND secret = MakeEdit(ES_PASSWORD, 10, 10, 200, 24, 1);
    HWND stars = MakeEdit(0, 10, 50, 200, 24, 2, u"***");
    SetFocus(secret);
    Type(u"abc");
    SetFocus(parent);
    Pump();
    EXPECT_EQ(Text(secret), u"abc");
    EXPECT_EQ(SendMessageW(secret, EM_GETPASSWORDCHAR, 0, 0), '*');
    auto region = [](int top) {
        std::vector<COLORREF> px;
        for (int y = top; y < top + 24; ++y)
            for (int x = 10; x < 210; ++x)
                px.push_back(ScreenPixel(x, y));
        return px;
    };
    std::vector<COLORREF> drawn = region(10);
    // The stars are there (drawn smoothed, so dark rather than black).
    EXPECT_GT(
        std::count_if(drawn.begin(), drawn.end(), [](COLORREF c) { return GetRValue(c) < 128; }),
        5);
    EXPECT_EQ(drawn, region(50));
    // Another character, then none: the plain text shows.
    SendMessageW(secret, EM_SETPASSWORDCHAR, '#', 0);
    SetWindowTextW(stars, u"###");
    Pump();
    EXPECT_EQ(region(10), region(50));
    SendMessageW(secret, EM_SETPASSWORDCHAR, 0, 0);
    SetWindowTextW(stars, u"abc");
    Pump();
    EXPECT_EQ(region(10), region(50));
    EXPECT_EQ(GetWindowLongW(secret, GWL_STYLE) & ES_PASSWORD, 0);
}

TEST_F(EditTest, PasswordTextNeverReachesTheClipboard) {
    HWND secret = MakeEdit(ES_PASSWORD, 10, 10, 200, 24, 1, u"hunter2");
    plat::SetClipboardText(u"before");
    SendMessageW(secret, EM_SETSEL, 0, -1);
    SendMessageW(secret, WM_COPY, 0, 0);
    SendMessageW(secret, WM_CUT, 0, 0);
    std::u16string clip;
    ASSERT_TRUE(plat::GetClipboardText(&clip));
    EXPECT_EQ(clip, u"before");
    EXPECT_EQ(Text(secret), u"hunter2");
}

TEST_F(EditTest, LimitCutsTypingAndReplacementButNotSetText) {
    HWND edit = MakeEdit(0, 10, 10, 200, 24, 9);
    SendMessageW(edit, EM_LIMITTEXT, 3, 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 3);
    SetFocus(edit);
    Pump();
    log.clear();
    int beeps = plat::BeepCount();
    Type(u"abcde");
    EXPECT_EQ(Text(edit), u"abc");
    EXPECT_GE(NoteCount(9, EN_MAXTEXT), 1);
    EXPECT_EQ(plat::BeepCount() - beeps, 2);
    SendMessageW(edit, EM_SETSEL, 1, 2);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(u"XYZ"));
    EXPECT_EQ(Text(edit), u"aXc");
    SetWindowTextW(edit, u"longer than three");
    EXPECT_EQ(Text(edit), u"longer than three");
    SendMessageW(edit, EM_SETLIMITTEXT, 0, 0); // 0: as much as there is room for
    EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
}

TEST_F(EditTest, WithoutAutoScrollTextStopsAtTheRightEdge) {
    HWND fixed = MakeEdit(0, 10, 10, 40, 24, 1);
    HWND scrolling = MakeEdit(ES_AUTOHSCROLL, 10, 50, 40, 24, 2);
    std::u16string many(40, u'm');
    SetFocus(fixed);
    Type(many);
    SetFocus(scrolling);
    Type(many);
    int kept = GetWindowTextLengthW(fixed);
    EXPECT_GT(kept, 0);
    EXPECT_LT(kept, 40);
    EXPECT_LE(CharX(fixed, kept), 40);
    EXPECT_EQ(GetWindowTextLengthW(scrolling), 40);
    // The scrolled control keeps the caret in view.
    EXPECT_GT(SendMessageW(scrolling, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    int caretX = CharX(scrolling, 40);
    EXPECT_GE(caretX, 0);
    EXPECT_LE(caretX, 40);
}

TEST_F(EditTest, ClipboardRoundTripBetweenControls) {
    HWND a = MakeEdit(0, 10, 10, 200, 24, 1, u"copy me");
    HWND b = MakeEdit(0, 10, 50, 200, 24, 2, u"[]");
    SendMessageW(a, EM_SETSEL, 5, 7);
    SendMessageW(a, WM_COPY, 0, 0);
    std::u16string clip;
    ASSERT_TRUE(plat::GetClipboardText(&clip));
    EXPECT_EQ(clip, u"me");
    SendMessageW(b, EM_SETSEL, 1, 1);
    SendMessageW(b, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(b), u"[me]");
    SendMessageW(a, EM_SETSEL, 0, 5);
    SendMessageW(a, WM_CUT, 0, 0);
    EXPECT_EQ(Text(a), u"me");
    ASSERT_TRUE(plat::GetClipboardText(&clip));
    EXPECT_EQ(clip, u"copy ");
    SendMessageW(b, EM_SETSEL, 0, -1);
    SendMessageW(b, WM_CLEAR, 0, 0);
    EXPECT_EQ(Text(b), u"");
    // Only the first line of a longer clipboard text is taken.
    plat::SetClipboardText(u"one\r\ntwo");
    SendMessageW(b, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(b), u"one");
    // The keyboard's clipboard keys do the same.
    SetFocus(b);
    Pump();
    Type(u"\x01"); // Ctrl+A
    Type(u"\x18"); // Ctrl+X
    EXPECT_EQ(Text(b), u"");
    Type(u"\x16\x16"); // Ctrl+V twice
    EXPECT_EQ(Text(b), u"oneone");
}

TEST_F(EditTest, NumberStyleTakesOnlyDigits) {
    HWND edit = MakeEdit(ES_NUMBER);
    SetFocus(edit);
    Type(u"1a2-3");
    EXPECT_EQ(Text(edit), u"123");
    Key(VK_BACK);
    EXPECT_EQ(Text(edit), u"12");
    plat::SetClipboardText(u"4x");
    SendMessageW(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(edit), u"12");
    plat::SetClipboardText(u"45");
    SendMessageW(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(edit), u"1245");
}

TEST_F(EditTest, ReadOnlyRefusesTheUserButNotTheProgram) {
    HWND edit = MakeEdit(0, 10, 10, 200, 24, 7, u"fixed");
    EXPECT_TRUE(SendMessageW(edit, EM_SETREADONLY, TRUE, 0));
    EXPECT_NE(GetWindowLongW(edit, GWL_STYLE) & ES_READONLY, 0);
    SetFocus(edit);
    Type(u"x");
    Key(VK_DELETE);
    Key(VK_BACK);
    EXPECT_EQ(Text(edit), u"fixed");
    SendMessageW(edit, EM_SETSEL, 0, 2);
    SendMessageW(edit, WM_CUT, 0, 0);
    EXPECT_EQ(Text(edit), u"fixed");
    std::u16string clip;
    SendMessageW(edit, WM_COPY, 0, 0);
    ASSERT_TRUE(plat::GetClipboardText(&clip));
    EXPECT_EQ(clip, u"fi");
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(u"Pre"));
    EXPECT_EQ(Text(edit), u"Prexed");
    SendMessageW(edit, EM_SETREADONLY, FALSE, 0);
    Type(u"!");
    EXPECT_EQ(Text(edit), u"Pre!xed");
}

TEST_F(EditTest, ModifyFlagAndUndo) {
    HWND edit = MakeEdit(0, 10, 10, 200, 24, 7, u"start");
    EXPECT_FALSE(SendMessageW(edit, EM_GETMODIFY, 0, 0));
    EXPECT_FALSE(SendMessageW(edit, EM_CANUNDO, 0, 0));
    SetFocus(edit);
    Key(VK_END);
    Type(u"!");
    EXPECT_TRUE(SendMessageW(edit, EM_GETMODIFY, 0, 0));
    EXPECT_TRUE(SendMessageW(edit, EM_CANUNDO, 0, 0));
    EXPECT_TRUE(SendMessageW(edit, EM_UNDO, 0, 0));
    EXPECT_EQ(Text(edit), u"start");
    EXPECT_TRUE(SendMessageW(edit, EM_UNDO, 0, 0)); // undo of the undo
    EXPECT_EQ(Text(edit), u"start!");
    SendMessageW(edit, EM_SETMODIFY, FALSE, 0);
    EXPECT_FALSE(SendMessageW(edit, EM_GETMODIFY, 0, 0));
    SetWindowTextW(edit, u"reset");
    EXPECT_FALSE(SendMessageW(edit, EM_GETMODIFY, 0, 0));
    EXPECT_FALSE(SendMessageW(edit, EM_CANUNDO, 0, 0));
}

TEST_F(EditTest, FontLinesAndFormatRect) {
    HWND edit = MakeEdit(0, 10, 10, 200, 30, 7, u"text");
    EXPECT_EQ(SendMessageW(edit, WM_GETFONT, 0, 0), 0);
    HFONT big = CreateFontW(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, nullptr);
    int before = CharX(edit, 4);
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(big), TRUE);
    EXPECT_EQ(SendMessageW(edit, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(big));
    EXPECT_NE(CharX(edit, 4), before);
    // A focused control's caret follows the new font without telling the parent again.
    SetFocus(edit);
    log.clear();
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(big), FALSE);
    EXPECT_EQ(NoteCount(7, EN_SETFOCUS), 0);
    POINT caret{};
    EXPECT_TRUE(GetCaretPos(&caret));
    EXPECT_EQ(caret.x, CharX(edit, 0));
    RECT fmt{3, 2, 150, 28};
    SendMessageW(edit, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&fmt));
    RECT got{};
    SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&got));
    EXPECT_TRUE(EqualRect(&got, &fmt));
    EXPECT_EQ(CharX(edit, 0), 3);
    EXPECT_EQ(GET_Y_LPARAM(SendMessageW(edit, EM_POSFROMCHAR, 0, 0)), 2);
    EXPECT_EQ(LOWORD(SendMessageW(edit, EM_CHARFROMPOS, 0, MAKELPARAM(0, 5))), 0);
    EXPECT_EQ(LOWORD(SendMessageW(edit, EM_CHARFROMPOS, 0, MAKELPARAM(199, 5))), 4);
    EXPECT_EQ(SendMessageW(edit, EM_GETLINECOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageW(edit, EM_LINELENGTH, 0, 0), 4);
    WCHAR line[8] = {};
    line[0] = 3; // room for three characters
    EXPECT_EQ(SendMessageW(edit, EM_GETLINE, 0, reinterpret_cast<LPARAM>(line)), 3);
    EXPECT_EQ(std::u16string(line, 3), u"tex");
    DestroyWindow(edit);
    DeleteObject(big);
}

// The way a toolkit hooks the control: its own procedure sees keys first and passes on what
// it does not swallow.
WNDPROC g_saved = nullptr;
std::vector<UINT> g_hooked;
LRESULT CALLBACK DigitsHook(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_KEYDOWN || msg == WM_CHAR)
        g_hooked.push_back(msg);
    if (msg == WM_KEYDOWN && wParam == VK_RETURN)
        SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(7, 0x1000), 0);
    if (msg == WM_CHAR && wParam != '\b' && (wParam < '0' || wParam > '9'))
        return 0;
    return CallWindowProcW(g_saved, hwnd, msg, wParam, lParam);
}

TEST_F(EditTest, ASubclassSeesKeysAndCharactersFirst) {
    HWND edit = MakeEdit(0);
    g_hooked.clear();
    g_saved = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(DigitsHook)));
    ASSERT_NE(g_saved, nullptr);
    SetFocus(edit);
    Pump();
    log.clear();
    Key('A'); // translated into WM_CHAR 'a', which the hook swallows
    Key('4');
    Key(VK_BACK);
    Key('2');
    Key(VK_RETURN);
    EXPECT_EQ(Text(edit), u"2");
    EXPECT_EQ(NoteCount(7, 0x1000), 1);
    EXPECT_GE(g_hooked.size(), 8u);
    SetWindowLongPtrW(edit, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(g_saved));
}

TEST_F(EditTest, SystemClassIsThereFromTheStart) {
    WNDCLASSW wc{};
    ASSERT_TRUE(GetClassInfoW(nullptr, u"edit", &wc));
    EXPECT_NE(wc.lpfnWndProc, nullptr);
    HWND edit = MakeEdit(0, 0, 0, 50, 20, 3, u"x");
    WCHAR name[16] = {};
    GetClassNameW(edit, name, 16);
    EXPECT_EQ(std::u16string(name), u"EDIT");
}

} // namespace
