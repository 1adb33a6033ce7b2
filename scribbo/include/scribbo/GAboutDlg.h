// The box about the program: its name, version and memo file format, in a framed box of its own
// in the middle of the screen, with OK and Cancel along the bottom.
#pragma once

#include "winza/GDialog.h"

class GAboutDlg : public GDialog {
public:
    GAboutDlg();

    LPCWSTR GetClassNameW() override { return u"GAboutDlg"; }
    void RecalcDialog(HWND parent) override;
    void DrawFrame(HDC hdc, RECT rect) override;
    void DrawTitle(HDC hdc, RECT rect) override;
    void DrawButton(HDC hdc, RECT clip) override;
};
