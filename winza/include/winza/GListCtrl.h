// The toolkit's owner-drawn list: a GList of GItems shown as rows of equal height, kept in
// sort order, one row selected, scrolled with two GScrollBars. Touches are reported to an
// owner object with private messages, each carrying the control id as lParam.
#pragma once

#include "fundo/GArray.h"
#include "fundo/GList.h"
#include "winza/GItemSort.h"
#include "winza/GScrollView.h"

class GImageList;
class GItem;

// Notifications to the owner: touched row, double tap and scrolling (the pen-down one,
// kMsgCtrlPenDown, goes to the parent window).
constexpr UINT kMsgListTouched = 0x17F1;
constexpr UINT kMsgListDoubleTap = 0x17F2;
constexpr UINT kMsgListScrolled = 0x17F3;

class GListCtrl : public GScrollView {
public:
    GListCtrl();
    ~GListCtrl() override;

    LPCWSTR GetClassNameW() override;
    int RegisterClassW() override;
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Draw(HDC hdc, RECT clip) override;

    // The list's own virtual operations, in slot order.
    // Empties the list and puts every item back in its old order under the current rules.
    virtual void SortList(int redraw);
    virtual POSITION AddItem(LPCWSTR label, int redraw, int atTail);
    // Exact label match from start, or from the head when start is the special head
    // position (or null).
    virtual POSITION FindItem(POSITION start, LPCWSTR label);
    virtual void SelectItem(POSITION pos, int redraw);
    // Deletes the item object.
    virtual void DeleteItem(GItem* item);
    virtual GItem* GetGItem(POSITION pos);
    virtual POSITION HitTest(const POINT& point);
    virtual GItem* CreateItem(LPCWSTR label);
    virtual GList* CreateItemList();
    virtual void DeleteItemList();

    // 0 when the window exists already.
    int Create(HWND parent, Winza* owner, DWORD style, RECT* rect, int id);
    // Uses an outside list (not owned); an owned list is deleted with its items first.
    void SetItemList(GList* list, int redraw);
    GList* GetItemList() const { return m_pItems; }

    POSITION InsertItem(GItem* item, int atTail);
    // The special head position stands for the head.
    void DeleteItem(POSITION pos, int redraw);
    void RemoveAllItem(int redraw);
    // -1 without a list.
    int GetCount() const;
    POSITION GetSelItem() const { return m_posSel; }
    // Label of the selection; null without one.
    LPCWSTR GetItemText() const;

    int AddColumn(int width);
    void DeleteColumn(int index);
    // -1 outside the columns.
    int GetColumnWidth(int index) const;
    int GetColumnCount() const { return m_aColumns.GetSize(); }
    void RemoveAllColumn() { m_aColumns.RemoveAll(); }
    int GetHitColumn() const { return m_nHitColumn; }

    void SetImageList(GImageList* list) { m_pImageList = list; }
    void SetCompareProc(GItemCompareProc proc) { m_pfnCompare = proc; }
    void SetSortType(eSortType type) { m_eSortType = type; }
    eSortType GetSortType() const { return m_eSortType; }
    void SetDefBackColor(COLORREF color, int redraw);
    void SetSelBackColor(COLORREF color, int redraw);
    void SetDefTextColor(COLORREF color, int redraw);
    void SetSelTextColor(COLORREF color, int redraw);
    COLORREF GetDefBackColor() const { return m_crBack; }
    COLORREF GetSelBackColor() const { return m_crSelBack; }
    COLORREF GetDefTextColor() const { return m_crText; }
    COLORREF GetSelTextColor() const { return m_crSelText; }
    void DrawRowLine(int on, COLORREF color, int redraw);
    void SetItemHeight(int height) { m_nItemHeight = height > 0 ? height : 1; }
    int GetItemHeight() const { return m_nItemHeight; }
    void SetTextFormat(UINT format) { m_nTextFormat = format; }
    void ShowHorizontalScrollBar(int on) { m_bShowHScroll = on; }

    // Lays out the scroll bars for the content; with keepSelectionVisible the selected row is
    // scrolled into view.
    void UpdateScroll(int keepSelectionVisible, int redraw);
    int GetScrollPosV() const { return m_sbVert.GetScrollPos(); }
    int GetScrollPosH() const { return m_sbHorz.GetScrollPos(); }
    POINT GetCurPoint() const { return m_ptLast; }

protected:
    LRESULT OnCreate(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnLbuttonDown(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnLbuttonDblClk(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseWhell(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnScroll(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    void NotifyOwner(UINT msg, WPARAM wParam, LPARAM lParam);
    // Index of pos from the head; -1 when it is not in the list.
    int IndexOf(POSITION pos) const;

    Winza* m_pOwner = nullptr;
    int m_nID = -1;
    int m_nItemHeight = 24;
    GImageList* m_pImageList = nullptr;
    int m_bShowHScroll = 0;
    COLORREF m_crBack = RGB(255, 255, 255);
    COLORREF m_crSelBack = RGB(0, 0, 255);
    COLORREF m_crText = RGB(0, 0, 0);
    COLORREF m_crSelText = RGB(255, 255, 255);
    int m_bRowLine = 1;
    COLORREF m_crRowLine = 0x989898;
    GArray m_aColumns;
    int m_nHitColumn = -1;
    eSortType m_eSortType = eSortAscending;
    UINT m_nTextFormat = DT_VCENTER;
    POINT m_ptLast{0, 0};
    GList* m_pItems = nullptr;
    int m_bOwnItems = 0;
    POSITION m_posSel = nullptr;
    GItemCompareProc m_pfnCompare = CompareItemLabel;
};
