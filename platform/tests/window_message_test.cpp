// The queue: posting and sending, filters, WM_QUIT, nested loops and translation of keys
// (messages between threads have their own tests).
#include "window_test_support.h"

#include <chrono>
#include <thread>

namespace {

using MessageTest = WindowTest;

TEST_F(MessageTest, PostedMessagesComeInOrderAndSentOnesAtOnce) {
    HWND w = Make(WS_POPUP, 0, 0, 10, 10);
    log.clear();
    PostMessageW(w, WM_USER + 1, 1, 2);
    PostMessageW(w, WM_USER + 2, 3, 4);
    EXPECT_EQ(SendMessageW(w, WM_USER + 3, 0, 0), 0);
    EXPECT_EQ(MessagesOf(w), (std::vector<UINT>{WM_USER + 3}));
    Pump();
    EXPECT_EQ(MessagesOf(w), (std::vector<UINT>{WM_USER + 3, WM_USER + 1, WM_USER + 2}));
    EXPECT_EQ(log[1].wParam, 1u);
    EXPECT_EQ(log[1].lParam, 2);
}

TEST_F(MessageTest, PeekFiltersByWindowAndRange) {
    HWND a = Make(WS_POPUP, 0, 0, 10, 10);
    HWND b = Make(WS_POPUP, 0, 0, 10, 10);
    HWND child = Make(WS_CHILD, 0, 0, 5, 5, a);
    PostMessageW(b, WM_USER + 1, 0, 0);
    PostMessageW(child, WM_USER + 2, 0, 0);
    PostMessageW(a, WM_USER + 9, 0, 0);
    MSG m;
    ASSERT_TRUE(PeekMessageW(&m, a, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(m.hwnd, child) << "a window's filter takes its children's messages too";
    ASSERT_TRUE(PeekMessageW(&m, nullptr, WM_USER + 5, WM_USER + 10, PM_REMOVE));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 9));
    ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 1));
    ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 2));
    EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageTest, QuitComesAfterPostedMessagesAndEndsGetMessage) {
    HWND w = Make(WS_POPUP, 0, 0, 10, 10);
    PostQuitMessage(3);
    PostMessageW(w, WM_USER, 0, 0);
    MSG m;
    ASSERT_TRUE(GetMessageW(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_USER));
    EXPECT_FALSE(GetMessageW(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(m.wParam, 3u);
    EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) << "WM_QUIT is taken once";
}

TEST_F(MessageTest, NestedLoopEndsFromAHandler) {
    HWND w = Make(WS_POPUP, 0, 0, 10, 10);
    bool done = false;
    int depth = 0, maxDepth = 0;
    handlers[w] = [&](HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT*) {
        if (msg == WM_USER) {
            // A modal loop inside a handler, as dialogs and menus run.
            ++depth;
            maxDepth = std::max(maxDepth, depth);
            PostMessageW(hwnd, WM_USER + 1, 0, 0);
            MSG m;
            while (!done && GetMessageW(&m, nullptr, 0, 0))
                DispatchMessageW(&m);
            --depth;
            return true;
        }
        if (msg == WM_USER + 1) {
            PostMessageW(hwnd, WM_USER + 2, 0, 0);
            return true;
        }
        if (msg == WM_USER + 2) {
            done = true;
            return true;
        }
        return false;
    };
    log.clear();
    PostMessageW(w, WM_USER, 0, 0);
    PostMessageW(w, WM_USER + 3, 0, 0);
    Pump();
    EXPECT_TRUE(done);
    EXPECT_EQ(maxDepth, 1);
    EXPECT_EQ(MessagesOf(w), (std::vector<UINT>{WM_USER, WM_USER + 3, WM_USER + 1, WM_USER + 2}));
}

TEST_F(MessageTest, DestroyedWindowsLoseTheirMessages) {
    HWND w = Make(WS_POPUP, 0, 0, 10, 10);
    PostMessageW(w, WM_USER, 0, 0);
    DestroyWindow(w);
    MSG m;
    EXPECT_FALSE(PeekMessageW(&m, nullptr, WM_USER, WM_USER, PM_REMOVE));
    EXPECT_FALSE(PostMessageW(w, WM_USER, 0, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(MessageTest, TranslateMakesCharactersFromKeys) {
    HWND w = Make(WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
    Pump();
    log.clear();
    plat::InputKey('A', true);
    plat::InputKey('A', false);
    plat::InputKey(VK_SHIFT, true);
    plat::InputKey('1', true);
    plat::InputKey('1', false);
    plat::InputKey(VK_SHIFT, false);
    plat::InputKey(VK_RETURN, true);
    plat::InputKey(VK_LEFT, true);
    Pump();
    std::u16string chars;
    for (const LoggedMsg& m : log)
        if (m.hwnd == w && m.msg == WM_CHAR)
            chars.push_back(static_cast<char16_t>(m.wParam));
    EXPECT_EQ(chars, u"a!\r");
    std::vector<UINT> seq = MessagesOf(w);
    ASSERT_GE(seq.size(), 3u);
    EXPECT_EQ(seq[0], static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(seq[1], static_cast<UINT>(WM_CHAR)) << "the character comes right after its key";
    EXPECT_EQ(seq[2], static_cast<UINT>(WM_KEYUP));
}

TEST_F(MessageTest, WaitMessageReturnsForNewMessagesOnly) {
    HWND w = Make(WS_POPUP, 0, 0, 10, 10);
    PostMessageW(w, WM_USER, 0, 0);
    EXPECT_TRUE(WaitMessage()); // something new arrived since the last look
    std::thread poster([w] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        PostMessageW(w, WM_USER + 1, 0, 0);
    });
    MSG m;
    // The first message is looked at but left; the wait then lasts until the second comes.
    EXPECT_FALSE(PeekMessageW(&m, nullptr, WM_USER + 1, WM_USER + 1, PM_REMOVE));
    EXPECT_TRUE(WaitMessage());
    poster.join();
    EXPECT_TRUE(PeekMessageW(&m, nullptr, WM_USER + 1, WM_USER + 1, PM_REMOVE));
}

TEST_F(MessageTest, RegisteredMessagesAreSharedByName) {
    UINT a = RegisterWindowMessageW(u"ScribboTest");
    EXPECT_GE(a, 0xC000u);
    EXPECT_EQ(RegisterWindowMessageW(u"scribbotest"), a);
    EXPECT_NE(RegisterWindowMessageW(u"Other"), a);
}

} // namespace
