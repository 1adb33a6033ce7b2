// The base of the entries of the list and tree controls: a label, a rectangle, an icon from
// an image list and state flags.
#pragma once

#include <windows.h>

class GImageList;

class GItem {
public:
    GItem() = default;
    explicit GItem(LPCWSTR label);
    GItem(const GItem&) = delete;
    GItem& operator=(const GItem&) = delete;
    virtual ~GItem();
    // Both empty here; the list and tree entries measure and draw themselves.
    virtual void CalcItem(HDC hdc, int a, int b, int c);
    virtual void DrawItem(HDC hdc, const COLORREF& text, const COLORREF& back, const int& state);

    // A null or empty label leaves the item without one.
    void SetLabel(LPCWSTR label);
    // Null when the item has no label.
    LPCWSTR GetLabel() const { return m_pLabel; }
    void SetImageList(GImageList* list) { m_pImageList = list; }
    GImageList* GetImageList() const { return m_pImageList; }
    void SetImageIndex(int index) { m_nImage = index; }
    int GetImageIndex() const { return m_nImage; }
    void SetItemRect(const RECT& rect) { m_rcItem = rect; }
    RECT GetItemRect() const { return m_rcItem; }
    // Set or clear bits; each returns the flags as they were.
    DWORD SetFlag(DWORD bits);
    DWORD ResetFlag(DWORD bits);
    int GetFlag(DWORD bits) const { return (m_dwFlag & bits) != 0; }

protected:
    WCHAR* m_pLabel = nullptr;
    RECT m_rcItem{0, 0, 0, 0};
    GImageList* m_pImageList = nullptr;
    int m_nImage = -1;
    DWORD m_dwFlag = 3;
};

// An owned copy of a wide string; null for a null or empty one.
WCHAR* CopyWinzaLabel(LPCWSTR text);
