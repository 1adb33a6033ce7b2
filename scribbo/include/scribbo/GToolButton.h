// An item of the application's tool bars: a windowless button whose picture is the toolbar
// image of its command (id - 1000), and which may carry a pen preset (kind, colour, width,
// opacity) that it shows as a stroke under its picture.
#pragma once

#include "fundo/Position.h"
#include "winza/GVButton.h"

class GToolButton : public GVButton {
public:
    GToolButton();
    explicit GToolButton(int id);

    void DrawImage(HDC hdc) override;
    // The label when there is one; a pen preset also draws its stroke sample.
    void DrawLable(HDC hdc, int format) override;

    // -1 when the item is no pen preset.
    int GetPenKind() const { return m_nPenKind; }
    void SetPenKind(int kind) { m_nPenKind = kind; }
    int IsToolItem() const { return m_nPenKind >= 0; }
    COLORREF GetColor() const { return m_crColor; }
    void SetColor(COLORREF color) { m_crColor = color; }
    // Half width of the pen in page units, 16.16.
    LONG GetPenWidth() const { return m_nWidth; }
    void SetPenWidth(LONG width) { m_nWidth = width; }
    int GetAlpha() const { return m_nAlpha; }
    void SetAlpha(int alpha) { m_nAlpha = alpha; }
    // Width of the item on its bar; 0 takes the bar's button width.
    int GetGroupWidth() const { return m_nGroupWidth; }
    void SetGroupWidth(int width) { m_nGroupWidth = width; }
    // Where the item sits in its bar's item tree (null for an item outside the tree).
    POSITION GetPosition() const { return m_pos; }
    void SetPosition(POSITION pos) { m_pos = pos; }

protected:
    // Where the stroke sample of a pen preset goes: a band along the button's foot.
    RECT SampleRect() const;

    int m_nPenKind = -1;
    COLORREF m_crColor = 0xFFFFFF;
    LONG m_nWidth = 0;
    int m_nAlpha = 255;
    int m_nGroupWidth = 0;
    POSITION m_pos = nullptr;
};
