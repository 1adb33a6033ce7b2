// A windowless button that shows a colour: the button's frame, then a swatch of the colour
// that leaves room at the right for the drop-down arrow.
#pragma once

#include "winza/GVButton.h"

class GColorButton : public GVButton {
public:
    explicit GColorButton(int id);

    void DrawFrame(HDC hdc) override;
    void DrawImage(HDC hdc) override;

    void SetColor(COLORREF colour) { m_crColor = colour; }
    COLORREF GetColor() const { return m_crColor; }

private:
    COLORREF m_crColor = 0xFFFFFF;
};
