// Dialogs under test: a script runs inside the modal loop (first when the loop starts, then
// after each message the dialog handles), and a watchdog ends a loop that would never end.
#pragma once

#include "vbutton_test_support.h"
#include "winza/GDialog.h"
#include "winza/GMessageBox.h"

#include <platform/winbase.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

constexpr UINT kMsgScriptStart = WM_APP + 1;

// Posts WM_QUIT to the thread that made it when a test's loop is still running after a few
// seconds of real time, so a broken loop fails the test instead of hanging it.
class Watchdog {
public:
    Watchdog() : m_thread(::GetCurrentThreadId()) {
        m_worker = std::thread([this] {
            std::unique_lock lock(m_mutex);
            if (!m_cv.wait_for(lock, std::chrono::seconds(10), [this] { return m_done; })) {
                m_fired = true;
                ::PostThreadMessageW(m_thread, WM_QUIT, 0, 0);
            }
        });
    }
    ~Watchdog() {
        {
            std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_cv.notify_all();
        m_worker.join();
        EXPECT_FALSE(m_fired) << "a modal loop did not end by itself";
    }

private:
    DWORD m_thread;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_done = false;
    bool m_fired = false;
    std::thread m_worker;
};

// Adds the script hooks to a dialog class.
template <class Base> class Scripted : public Base {
public:
    // Runs once when the loop starts.
    std::function<void()> onStart;
    // Runs after each message the dialog's procedure handled.
    std::function<void(UINT msg, WPARAM wParam)> onMessage;
    // Replaces the layout when set (screen coordinates).
    RECT place{0, 0, 0, 0};
    std::vector<UINT> seen;

    void RecalcControl() override {
        if (place.right > place.left)
            this->m_rcDialog = place;
        Base::RecalcControl();
        ::PostMessageW(this->m_hWnd, kMsgScriptStart, 0, 0);
    }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == kMsgScriptStart) {
            if (onStart)
                onStart();
            return 0;
        }
        seen.push_back(msg);
        const LRESULT r = Base::WndProc(hwnd, msg, wParam, lParam);
        if (onMessage)
            onMessage(msg, wParam);
        return r;
    }
    void Key(int vk) {
        plat::InputKey(vk, true);
        plat::InputKey(vk, false);
    }
};

using TestDialog = Scripted<GDialog>;
using TestMessageBox = Scripted<GMessageBox>;
