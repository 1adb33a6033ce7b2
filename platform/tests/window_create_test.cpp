// Classes, creation and destruction: the messages in Win32 order, the creation record, the
// user-data slot's lifetime, and what is left of a window afterwards.
#include "window_test_support.h"

namespace {

using CreateTest = WindowTest;

TEST_F(CreateTest, HiddenWindowGetsCreationMessagesInOrder) {
    HWND w = Make(WS_POPUP, 10, 20, 100, 50);
    ASSERT_TRUE(w);
    EXPECT_EQ(MessagesOf(w), (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE}));
    EXPECT_FALSE(IsWindowVisible(w));
    // WM_SIZE carries the client size, WM_MOVE the client origin.
    EXPECT_EQ(log[2].lParam, MAKELPARAM(100, 50));
    EXPECT_EQ(log[3].lParam, MAKELPARAM(10, 20));
}

TEST_F(CreateTest, VisibleTopLevelIsShownActivatedAndFocused) {
    HWND w = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 50);
    ASSERT_TRUE(w);
    EXPECT_EQ(
        MessagesOf(w, {WM_PAINT, WM_ERASEBKGND, WM_NCPAINT}),
        (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW,
                           WM_WINDOWPOSCHANGING, WM_ACTIVATE, WM_SETFOCUS, WM_WINDOWPOSCHANGED}));
    EXPECT_EQ(GetActiveWindow(), w);
    EXPECT_EQ(GetForegroundWindow(), w);
    EXPECT_EQ(GetFocus(), w);
}

TEST_F(CreateTest, VisibleChildIsShownWithoutActivation) {
    HWND top = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    log.clear();
    HWND child = Make(WS_CHILD | WS_VISIBLE, 5, 5, 20, 20, top);
    ASSERT_TRUE(child);
    EXPECT_EQ(MessagesOf(child),
              (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW,
                                 WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED}));
    EXPECT_EQ(GetFocus(), top);
    EXPECT_EQ(GetParent(child), top);
    EXPECT_TRUE(IsChild(top, child));
}

TEST_F(CreateTest, CreationRecordCarriesTheParameterAndPlace) {
    int param = 7;
    CREATESTRUCTW seen{};
    anyHandler = [&](HWND, UINT msg, WPARAM, LPARAM lp, LRESULT*) {
        if (msg == WM_CREATE)
            seen = *reinterpret_cast<CREATESTRUCTW*>(lp);
        return false;
    };
    HWND w = CreateWindowExW(WS_EX_TOPMOST, kClass, u"title", WS_POPUP, 1, 2, 3, 4, nullptr,
                             nullptr, nullptr, &param);
    ASSERT_TRUE(w);
    EXPECT_EQ(seen.lpCreateParams, &param);
    EXPECT_EQ(seen.x, 1);
    EXPECT_EQ(seen.y, 2);
    EXPECT_EQ(seen.cx, 3);
    EXPECT_EQ(seen.cy, 4);
    EXPECT_EQ(seen.dwExStyle, static_cast<DWORD>(WS_EX_TOPMOST));
    WCHAR text[16];
    EXPECT_EQ(GetWindowTextW(w, text, 16), 5);
    EXPECT_EQ(std::u16string(text), u"title");
}

TEST_F(CreateTest, FailedCreateLeavesNoWindow) {
    HWND made = nullptr;
    anyHandler = [&](HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT* r) {
        if (msg == WM_CREATE) {
            made = hwnd;
            *r = -1;
            return true;
        }
        return false;
    };
    EXPECT_EQ(Make(WS_POPUP | WS_VISIBLE, 0, 0, 10, 10), nullptr);
    ASSERT_TRUE(made);
    EXPECT_FALSE(IsWindow(made));
    EXPECT_EQ(MessagesOf(made),
              (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}));
}

TEST_F(CreateTest, UnknownClassOrParentFails) {
    EXPECT_EQ(CreateWindowExW(0, u"NoSuchClass", u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                              nullptr, nullptr),
              nullptr);
    EXPECT_EQ(Make(WS_CHILD, 0, 0, 1, 1, nullptr), nullptr);
}

TEST_F(CreateTest, DestroyGoesParentFirstThenFreesChildrenFirst) {
    HWND top = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND a = Make(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, top);
    HWND b = Make(WS_CHILD, 20, 0, 10, 10, a);
    log.clear();
    ASSERT_TRUE(DestroyWindow(top));
    std::vector<std::pair<HWND, UINT>> order;
    for (const LoggedMsg& m : log)
        if (m.msg == WM_DESTROY || m.msg == WM_NCDESTROY)
            order.emplace_back(m.hwnd, m.msg);
    EXPECT_EQ(order, (std::vector<std::pair<HWND, UINT>>{{top, WM_DESTROY},
                                                         {a, WM_DESTROY},
                                                         {b, WM_DESTROY},
                                                         {b, WM_NCDESTROY},
                                                         {a, WM_NCDESTROY},
                                                         {top, WM_NCDESTROY}}));
    EXPECT_FALSE(IsWindow(top));
    EXPECT_FALSE(IsWindow(a));
    EXPECT_FALSE(IsWindow(b));
    EXPECT_FALSE(DestroyWindow(top));
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(CreateTest, OwnedPopupsGoBeforeTheirOwner) {
    HWND owner = Make(WS_POPUP, 0, 0, 50, 50);
    HWND owned = Make(WS_POPUP, 0, 0, 20, 20, owner);
    EXPECT_EQ(GetParent(owned), owner);
    EXPECT_EQ(GetWindow(owned, GW_OWNER), owner);
    log.clear();
    DestroyWindow(owner);
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log.front().hwnd, owned);
    EXPECT_FALSE(IsWindow(owned));
}

TEST_F(CreateTest, UserDataLivesUntilTheLastMessage) {
    HWND w = Make(WS_POPUP, 0, 0, 10, 10);
    SetWindowLongW(w, GWL_USERDATA, 1234);
    LONG inDestroy = 0, inNcDestroy = 0;
    handlers[w] = [&](HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT*) {
        if (msg == WM_DESTROY)
            inDestroy = GetWindowLongW(hwnd, GWL_USERDATA);
        if (msg == WM_NCDESTROY)
            inNcDestroy = GetWindowLongW(hwnd, GWL_USERDATA);
        return false;
    };
    EXPECT_EQ(GetWindowLongW(w, GWL_USERDATA), 1234);
    DestroyWindow(w);
    EXPECT_EQ(inDestroy, 1234);
    EXPECT_EQ(inNcDestroy, 1234);
    EXPECT_EQ(GetWindowLongW(w, GWL_USERDATA), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(CreateTest, PointersFitTheLongSlots) {
    HWND w = Make(WS_POPUP, 0, 0, 10, 10);
    int object = 0;
    SetWindowLongPtrW(w, GWL_USERDATA, reinterpret_cast<LONG_PTR>(&object));
    EXPECT_EQ(reinterpret_cast<int*>(GetWindowLongPtrW(w, GWL_USERDATA)), &object);
    EXPECT_EQ(GetWindowLongPtrW(w, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(&Proc));
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(w, GWL_STYLE)), static_cast<DWORD>(WS_POPUP));
    SetWindowLongW(w, GWL_ID, 42);
    EXPECT_EQ(GetWindowLongW(w, GWL_ID), 42);
}

LRESULT CALLBACK Subclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_USER + 1)
        return 99;
    auto old = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWL_USERDATA));
    return CallWindowProcW(old, hwnd, msg, wp, lp);
}

TEST_F(CreateTest, SubclassingThroughTheProcedureSlot) {
    HWND w = Make(WS_POPUP, 0, 0, 10, 10);
    LONG_PTR old = SetWindowLongPtrW(w, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&Subclass));
    SetWindowLongPtrW(w, GWL_USERDATA, old);
    log.clear();
    EXPECT_EQ(SendMessageW(w, WM_USER + 1, 0, 0), 99);
    EXPECT_TRUE(log.empty());
    SendMessageW(w, WM_USER + 2, 0, 0);
    EXPECT_EQ(MessagesOf(w), (std::vector<UINT>{WM_USER + 2}));
}

TEST_F(CreateTest, ClassesAreFoundByNameWhateverTheCase) {
    WNDCLASSW wc{};
    EXPECT_TRUE(GetClassInfoW(nullptr, u"testwindow", &wc));
    EXPECT_EQ(wc.lpfnWndProc, &Proc);
    WNDCLASSW again{};
    again.lpfnWndProc = Proc;
    again.lpszClassName = u"TESTWINDOW";
    EXPECT_EQ(RegisterClassW(&again), 0);
    HWND w = Make(WS_POPUP, 0, 0, 1, 1);
    WCHAR name[32];
    EXPECT_EQ(GetClassNameW(w, name, 32), 10);
    EXPECT_EQ(std::u16string(name), u"TestWindow");
    EXPECT_EQ(GetClassNameW(w, name, 5), 4);
    EXPECT_EQ(std::u16string(name), u"Test");
}

TEST_F(CreateTest, FindWindowMatchesClassAndTitle) {
    HWND a = CreateWindowExW(0, kClass, u"Alpha", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                             nullptr);
    HWND b = CreateWindowExW(0, kDblClass, u"Beta", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                             nullptr);
    EXPECT_EQ(FindWindowW(kDblClass, nullptr), b);
    EXPECT_EQ(FindWindowW(nullptr, u"Alpha"), a);
    EXPECT_EQ(FindWindowW(kClass, u"Beta"), nullptr);
    SetWindowTextW(a, u"Gamma");
    EXPECT_EQ(FindWindowW(nullptr, u"Gamma"), a);
    EXPECT_EQ(GetWindowTextLengthW(a), 5);
}

TEST_F(CreateTest, ExtraBytesHoldLongs) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.cbWndExtra = 8;
    wc.lpszClassName = u"ExtraWindow";
    ASSERT_TRUE(RegisterClassW(&wc));
    HWND w = Make(WS_POPUP, 0, 0, 1, 1, nullptr, 0, u"ExtraWindow");
    EXPECT_EQ(GetWindowLongW(w, 4), 0);
    SetWindowLongW(w, 4, -5);
    EXPECT_EQ(GetWindowLongW(w, 4), -5);
    EXPECT_EQ(SetWindowLongW(w, 8, 1), 0); // past the end
    DestroyWindow(w);
    UnregisterClassW(u"ExtraWindow", nullptr);
}

} // namespace
