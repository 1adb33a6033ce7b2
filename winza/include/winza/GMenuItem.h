// One entry of a pop-up menu: a windowless button with a left-aligned label, an optional icon
// or check mark, an indent, and optionally a submenu it opens.
#pragma once

#include "winza/GVButton.h"

#include <windows.h>

class GMenu;

// The highlight the menu gives the item under the pen or the keyboard selection.
constexpr DWORD kMenuItemHighlight = 0x40;
// The id of an item that opens a submenu.
constexpr int kSubMenuItemId = -2;

class GMenuItem : public GVButton {
public:
    GMenuItem();
    explicit GMenuItem(int id);
    ~GMenuItem() override;

    void DrawFrame(HDC hdc) override;
    void DrawImage(HDC hdc) override;
    void DrawLable(HDC hdc, int format) override;

    // Not owned: the submenu belongs to whoever made it.
    void SetSubMenu(GMenu* menu) { m_pSubMenu = menu; }
    GMenu* GetSubMenu() const { return m_pSubMenu; }
    void SetIndent(int indent) { m_nIndent = indent; }
    int GetIndent() const { return m_nIndent; }
    void SetIconWidth(int width) { m_nIconWidth = width; }
    int GetIconWidth() const { return m_nIconWidth; }
    int GetLabelMargin() const { return m_nMargin; }
    int IsHighlighted() const { return GetFlag(kMenuItemHighlight); }

private:
    void DrawCheckMark(HDC hdc);

    GMenu* m_pSubMenu = nullptr;
    int m_nIndent = 0;
    int m_nIconWidth = 0;
    int m_nSpare = 0;
};
