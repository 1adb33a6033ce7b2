// The application's bars under test: a toolbar image list drawn in the test (ten by ten cells,
// each one flat colour inside a black edge) and a window that records what a bar tells it.
#pragma once

#include "scribbo/App.h"
#include "winza/GImageList.h"
#include "winza/GlobalDC.h"
#include "winza/Hires.h"
#include "winza/Winza.h"

#include "fundo/GDib.h"

#include <platform/clock.h>
#include <platform/display.h>

#include <vector>

namespace apptest {

// Window tests change the screen; the rest of the suite expects the device's default one.
inline void RestoreDefaultScreen() {
    FreeGlobalDC();
    plat::StartHeadless(480, 640);
    ResetDisplayMode();
}

// The colour inside cell i of the test's toolbar images.
inline COLORREF CellColour(int i) {
    return RGB(30 + (i % 10) * 22, 60 + (i / 10) * 19, 230 - (i % 7) * 25);
}

// A 10 x 10 grid of cell x cell images, as "toolbar.bmp" is cut; magenta is transparent.
inline bool MakeToolbarImages(GImageList& list, int cell) {
    GDib strip;
    if (!strip.Create(cell * 10, cell * 10, 24))
        return false;
    strip.SetBackColor(RGB(0, 0, 0));
    for (int i = 0; i < 100; ++i)
        strip.FillRect((i % 10) * cell + 1, (i / 10) * cell + 1, cell - 2, cell - 2, CellColour(i));
    return list.CreateImageList(cell, cell, &strip, RGB(255, 0, 255)) != 0;
}

// Records the commands and the bar's private messages that reach it.
class BarRecorder : public Winza {
public:
    struct Note {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
        ULONGLONG at;
    };
    explicit BarRecorder(LPCWSTR name) : m_name(name) {}
    LPCWSTR GetClassNameW() override { return m_name; }
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_COMMAND || msg == UM_TOOLBARPEN || msg == UM_TOOLBARLEVELUP)
            notes.push_back(Note{msg, wParam, lParam, plat::ClockNowMs()});
        return Winza::WndProc(hwnd, msg, wParam, lParam);
    }
    void Draw(HDC hdc, RECT clip) override {
        HBRUSH b = ::CreateSolidBrush(RGB(250, 250, 240));
        ::FillRect(hdc, &clip, b);
        ::DeleteObject(b);
    }
    std::vector<Note> Of(UINT msg) const {
        std::vector<Note> out;
        for (const Note& n : notes)
            if (n.msg == msg)
                out.push_back(n);
        return out;
    }
    std::vector<Note> notes;

private:
    LPCWSTR m_name;
};

} // namespace apptest
