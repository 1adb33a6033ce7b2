// An owner window that records what a month calendar tells it, and a fixture with the toolkit
// on a headless screen, fonts, a fixed local date and the virtual clock.
#pragma once

#include "winza/GDateSelCtrl.h"
#include "winza/GFontManager.h"
#include "winza/GTime.h"
#include "vbutton_test_support.h"

#include <functional>
#include <vector>

struct DateNote {
    UINT msg;
    LPARAM day;
    ULONGLONG at;
};

class DateOwner : public Winza {
public:
    LPCWSTR GetClassNameW() override { return u"DateOwner"; }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg >= kDateSelChosen && msg <= kDateSelLostFocus) {
            notes.push_back(DateNote{msg, lParam, plat::ClockNowMs()});
            if (msg == kDateSelFirstChanged && onFirstChanged)
                onFirstChanged();
            return 0;
        }
        return Winza::WndProc(hwnd, msg, wParam, lParam);
    }
    void Draw(HDC hdc, RECT clip) override { FillSolidRect(hdc, &clip, RGB(0, 0, 0)); }
    std::vector<DateNote> Notes(UINT msg) const {
        std::vector<DateNote> out;
        for (const DateNote& n : notes)
            if (n.msg == msg)
                out.push_back(n);
        return out;
    }
    std::vector<DateNote> notes;
    std::function<void()> onFirstChanged;
};

// A calendar that lets the test drive its pop-up menus from WM_ENTERIDLE.
class TestDateSel : public GDateSelCtrl {
public:
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_ENTERIDLE && wParam == MSGF_MENU) {
            HWND menu = reinterpret_cast<HWND>(lParam);
            RECT rc{};
            ::GetWindowRect(menu, &rc);
            menuRects.push_back(rc);
            if (onMenu)
                onMenu(menu, rc);
            else
                ::EndMenu();
            return 0;
        }
        return GDateSelCtrl::WndProc(hwnd, msg, wParam, lParam);
    }
    std::vector<RECT> menuRects;
    std::function<void(HWND, RECT)> onMenu;
};

class DateSelTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        SYSTEMTIME st{};
        st.wYear = 2024;
        st.wMonth = 5;
        st.wDay = 15;
        st.wHour = 10;
        ASSERT_TRUE(plat::SetVirtualLocalTime(st));
        SetGlobalFontDef(fonts.GetFont(eFontNormal13));
        SetGlobalFontBold(fonts.GetFont(eFontBold13));
        ASSERT_TRUE(owner.Create(nullptr, u"owner", WS_POPUP | WS_VISIBLE, 0, 0, screenW, screenH));
        Pump();
    }
    void TearDown() override {
        SetGlobalFontDef(nullptr);
        SetGlobalFontBold(nullptr);
        ToolkitTest::TearDown();
    }
    // A shown calendar at (x, y) in screen coordinates.
    void Open(GDateSelCtrl& cal, double date, int x = 10, int y = 40, int cx = 210, int cy = 200) {
        ASSERT_TRUE(cal.Create(owner, x, y, cx, cy, date));
        cal.ShowWindow(SW_SHOW);
        Pump();
    }
    static POINT Centre(RECT rc) {
        return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    }
    // Stylus at a client point of the calendar.
    static POINT OnScreen(const GDateSelCtrl& cal, POINT p) {
        cal.ClientToScreen(&p);
        return p;
    }
    void TapAt(const GDateSelCtrl& cal, POINT client) {
        const POINT p = OnScreen(cal, client);
        Down(p.x, p.y);
        Up(p.x, p.y);
    }
    static double Day(int y, int m, int d) { return double(GTime(y, m, d)); }
    static GTime Sel(const GDateSelCtrl& cal) { return GTime(cal.GetSelDate()); }
    DateOwner owner;
    GFontManager fonts;
};
